#include "platform/run_log_file.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/path_text.h"

namespace larkspur {

namespace {

namespace fs = std::filesystem;

bool WriteAll(const fs::path& path, const std::string& text, std::ios::openmode mode) {
  std::ofstream out(path, std::ios::binary | mode);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

// The newest whole lines of `log` that fit in `budget` bytes.
std::string NewestLines(const std::string& log, std::uintmax_t budget) {
  if (log.size() <= budget)
    return log;
  const std::size_t cut = log.find('\n', log.size() - budget - 1);
  return cut == std::string::npos ? std::string() : log.substr(cut + 1);
}

}  // namespace

bool RunLogFile::EnsureExists() {
  if (!IsAbsolutePath(path_))
    return false;
  const fs::path path = PathFromUtf8(path_);
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  if (error)
    return false;
  if (fs::is_regular_file(path, error))
    return true;
  return !fs::exists(path, error) && WriteAll(path, "", std::ios::app);
}

bool RunLogFile::Append(const std::string& entry) {
  if (!EnsureExists())
    return false;
  const fs::path path = PathFromUtf8(path_);
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error)
    return false;
  if (size + entry.size() <= limit_)
    return WriteAll(path, entry, std::ios::app);

  std::ifstream in(path, std::ios::binary);
  std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    return false;
  in.close();
  const std::string kept = NewestLines(log + entry, limit_ / 4 * 3);
  // Through a temporary file and a rename, so that a crash never leaves half a log.
  fs::path temporary = path;
  temporary += ".new";
  if (!WriteAll(temporary, kept, std::ios::trunc))
    return false;
  fs::rename(temporary, path, error);
  if (error)
    fs::remove(temporary, error);
  return !error;
}

}  // namespace larkspur
