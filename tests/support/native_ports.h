#pragma once
// The platform's own adapters, for tests of the core that work on real files and memory: the
// same tests then run against the Linux adapters natively and the Windows ones under Wine.
#include <memory>
#include <string>

#include "platform/file_patterns.h"
#include "platform/folder_tree.h"
#include "platform/memory.h"
#include "platform/profile_folder.h"
#include "platform/profile_strings.h"
#include "platform/user_data_folders.h"

namespace larkspur::testing {

std::unique_ptr<FilePatternPort> NativeFilePatterns();
std::unique_ptr<ProfileStringPort> NativeProfileStrings();
// `home` is protected as the user's home folder is; with `preview`, the tree changes nothing.
std::unique_ptr<FolderTree> NativeFolderTree(const std::string& home,
                                             std::shared_ptr<PreviewLedger> preview = nullptr);
std::unique_ptr<MemoryPort> NativeMemory();
// `home` is protected as the user's home folder is.
std::unique_ptr<ProfileFolders> NativeProfileFolders(const std::string& home);
std::unique_ptr<UserDataFolders> NativeUserDataFolders();

}  // namespace larkspur::testing
