#pragma once
#include <memory>
#include <string>

#include "platform/file_to_read.h"

namespace larkspur {

// The regular file `name` of the folder open at `folder_fd`, as ProfileFolder::OpenToRead says.
std::unique_ptr<FileToRead> OpenFileToReadAt(int folder_fd, const std::string& name, bool* absent);

}  // namespace larkspur
