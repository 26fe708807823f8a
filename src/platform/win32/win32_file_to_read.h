#pragma once
#include <memory>
#include <string>

#include "platform/file_to_read.h"

namespace larkspur::win32 {

// The regular file `name` of the folder held open at `folder` (a HANDLE) whose full path is
// `folder_path`, as ProfileFolder::OpenToRead says.
std::unique_ptr<FileToRead> OpenFileToRead(void* folder, const std::wstring& folder_path,
                                           const std::string& name, bool* absent);

}  // namespace larkspur::win32
