#include "support/native_ports.h"

#ifdef _WIN32
#include "platform/win32/win32_file_patterns.h"
#include "platform/win32/win32_folder_tree.h"
#include "platform/win32/win32_memory.h"
#include "platform/win32/win32_profile_folder.h"
#include "platform/win32/win32_profile_strings.h"
#include "platform/win32/win32_user_data_folders.h"
#else
#include "platform/posix/ini_profile_strings.h"
#include "platform/posix/posix_file_patterns.h"
#include "platform/posix/posix_folder_tree.h"
#include "platform/posix/posix_memory.h"
#include "platform/posix/posix_profile_folder.h"
#include "platform/posix/posix_user_data_folders.h"
#endif

namespace larkspur::testing {

#ifdef _WIN32
using NativeFiles = Win32FilePatterns;
using NativeStrings = Win32ProfileStrings;
using NativeTree = Win32FolderTree;
using NativeMemoryAdapter = Win32Memory;
using NativeUserData = Win32UserDataFolders;

std::unique_ptr<ProfileFolders> NativeProfileFolders(const std::string& home) {
  return std::make_unique<Win32ProfileFolders>(home);
}
#else
using NativeFiles = PosixFilePatterns;
using NativeStrings = IniProfileStrings;
using NativeTree = PosixFolderTree;
using NativeMemoryAdapter = PosixMemory;
using NativeUserData = PosixUserDataFolders;

std::unique_ptr<ProfileFolders> NativeProfileFolders(const std::string& home) {
  return std::make_unique<PosixProfileFolders>(std::vector<std::string>{home});
}
#endif

std::unique_ptr<FilePatternPort> NativeFilePatterns() {
  return std::make_unique<NativeFiles>();
}

std::unique_ptr<ProfileStringPort> NativeProfileStrings() {
  return std::make_unique<NativeStrings>();
}

std::unique_ptr<FolderTree> NativeFolderTree(const std::string& home,
                                             std::shared_ptr<PreviewLedger> preview) {
  return std::make_unique<NativeTree>(home, std::move(preview));
}

std::unique_ptr<MemoryPort> NativeMemory() {
  return std::make_unique<NativeMemoryAdapter>();
}

std::unique_ptr<UserDataFolders> NativeUserDataFolders() {
  return std::make_unique<NativeUserData>();
}

}  // namespace larkspur::testing
