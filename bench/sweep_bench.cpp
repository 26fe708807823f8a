// Compares SweepFolder on the Linux adapter with `find DIR -mindepth 1 -delete` on identical
// trees of many small files: a nested tree, or with --shape chromium a Chromium disk cache (all
// entries side by side in Cache_Data, beside its index folder). Everything happens inside a fresh
// temporary directory made here and removed at the end.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/controls.h"
#include "cleanup/folder_sweep.h"
#include "platform/posix/posix_folder_tree.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kExitOverLimit = 1;
constexpr int kExitFailure = 2;
constexpr int kExitUsage = 64;

struct Options {
  std::size_t files = 100000;
  std::size_t repeat = 3;
  std::size_t depth = 3;
  std::size_t per_folder = 25;
  std::optional<double> max_ratio;
  bool chromium = false;
};

// The tree: a full `branching`-ary tree of folders `depth` levels below the root, the files spread
// evenly over every folder (root included), and one extra empty folder under each parent of the
// deepest level.
struct Shape {
  std::size_t files = 0;
  std::size_t depth = 0;
  std::size_t branching = 0;
  std::size_t folders = 0;        // with files, root included
  std::size_t empty_folders = 0;  // hold nothing at all
  bool chromium = false;          // the layout of a Chromium cache instead
};

struct Failure {
  std::string what;
};

[[noreturn]] void Fail(const std::string& what) {
  throw Failure{what};
}

std::string Errno(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

Shape PlanShape(const Options& options) {
  Shape shape;
  shape.files = options.files;
  if (options.chromium) {
    shape.chromium = true;
    shape.folders = 3;
    return shape;
  }
  shape.depth = options.depth;
  const std::size_t wanted = std::max<std::size_t>(
      1, (options.files + options.per_folder - 1) / std::max<std::size_t>(1, options.per_folder));
  // Smallest branching whose tree has enough folders; at least 2 so the tree really nests.
  for (std::size_t b = 2;; ++b) {
    std::size_t total = 1;
    std::size_t level = 1;
    std::size_t parents = 1;
    for (std::size_t d = 1; d <= options.depth; ++d) {
      parents = level;
      level *= b;
      total += level;
    }
    if (total >= wanted || options.depth == 0) {
      shape.branching = options.depth == 0 ? 0 : b;
      shape.folders = total;
      shape.empty_folders = options.depth == 0 ? 0 : parents;
      return shape;
    }
  }
}

void PrintShape(const Shape& shape) {
  if (shape.chromium) {
    std::printf("tree: a Chromium cache, %zu entry files of 8 bytes in Cache_Data and its index\n",
                shape.files);
    return;
  }
  const double per = static_cast<double>(shape.files) / static_cast<double>(shape.folders);
  std::printf(
      "tree: %zu files of 8 bytes in %zu folders (root + %zu levels, %zu subfolders each, "
      "%.1f files a folder) + %zu empty folders, %zu entries in all\n",
      shape.files, shape.folders, shape.depth, shape.branching, per, shape.empty_folders,
      shape.files + shape.folders - 1 + shape.empty_folders);
}

class Tree {
 public:
  explicit Tree(const Shape& shape) : shape_(shape) {}

  // Builds the tree in the existing empty folder `root`, through descriptors so it stays quick.
  void Build(const std::string& root) {
    next_folder_ = 0;
    files_made_ = 0;
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
      Fail(Errno("open " + root));
    if (shape_.chromium)
      FillCache(fd);
    else
      Fill(fd, 0);
    if (::syncfs(fd) != 0)
      Fail(Errno("syncfs " + root));  // no pending writeback in a timing
    ::close(fd);
    if (files_made_ != shape_.files)
      Fail("tree generation made the wrong number of files");
  }

 private:
  // Cache_Data/<16 hex digits>_0 for every entry, and index-dir/the-real-index.
  void FillCache(int fd) {
    const int data = MakeFolder(fd, "Cache_Data");
    char name[32];
    for (std::size_t i = 0; i + 1 < shape_.files; ++i) {
      std::snprintf(name, sizeof name, "%016llx_0",
                    static_cast<unsigned long long>(i * 0x9E3779B97F4A7C15ull));
      MakeFile(data, name);
    }
    const int index = MakeFolder(data, "index-dir");
    if (shape_.files > 0)
      MakeFile(index, "the-real-index");
    ::close(index);
    ::close(data);
  }

  void MakeFile(int fd, const char* name) {
    const int file = ::openat(fd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0)
      Fail(Errno(std::string("create ") + name));
    static constexpr char kBytes[] = "larkspur";
    if (::write(file, kBytes, 8) != 8)
      Fail(Errno(std::string("write ") + name));
    ::close(file);
    ++files_made_;
  }

  void Fill(int fd, std::size_t level) {
    const std::size_t index = next_folder_++;
    const std::size_t count = FilesOfFolder(index);
    char name[32];
    for (std::size_t i = 0; i < count; ++i) {
      std::snprintf(name, sizeof name, "f%05zu.dat", i);
      MakeFile(fd, name);
    }
    if (level == shape_.depth)
      return;
    for (std::size_t i = 0; i < shape_.branching; ++i) {
      std::snprintf(name, sizeof name, "d%03zu", i);
      const int child = MakeFolder(fd, name);
      Fill(child, level + 1);
      ::close(child);
    }
    if (level + 1 == shape_.depth)
      ::close(MakeFolder(fd, "empty"));
  }

  static int MakeFolder(int parent, const char* name) {
    if (::mkdirat(parent, name, 0755) != 0)
      Fail(Errno(std::string("mkdir ") + name));
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
      Fail(Errno(std::string("open ") + name));
    return fd;
  }

  std::size_t FilesOfFolder(std::size_t index) const {
    const std::size_t base = shape_.files / shape_.folders;
    return base + (index < shape_.files % shape_.folders ? 1 : 0);
  }

  Shape shape_;
  std::size_t next_folder_ = 0;
  std::size_t files_made_ = 0;
};

// The folder must still be there, as a folder, with nothing in it.
void CheckEmpty(const std::string& root, const char* who) {
  struct stat state {};
  if (::lstat(root.c_str(), &state) != 0 || !S_ISDIR(state.st_mode)) {
    Fail(std::string(who) + " removed the folder itself: " + root);
  }
  DIR* dir = ::opendir(root.c_str());
  if (dir == nullptr)
    Fail(Errno("opendir " + root));
  std::size_t left = 0;
  std::string first;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
      continue;
    if (left++ == 0)
      first = entry->d_name;
  }
  ::closedir(dir);
  if (left != 0) {
    Fail(std::string(who) + " left " + std::to_string(left) + " entries in " + root + " (e.g. " +
         first + ")");
  }
}

double TimeSweep(const std::string& root, std::size_t expected_files) {
  larkspur::PosixFolderTree folders("/nonexistent");
  larkspur::Label status;
  std::size_t captions = 0;
  // The window mirrors every caption into a widget; counting stands in for that.
  status.SetListener([&captions](const std::string&) { ++captions; });
  larkspur::RunRecord record(status);
  const Clock::time_point start = Clock::now();
  larkspur::SweepFolder(folders, record, root);
  const Clock::time_point stop = Clock::now();
  CheckEmpty(root, "SweepFolder");
  if (captions != expected_files) {
    Fail("SweepFolder reported " + std::to_string(captions) + " deleted files, expected " +
         std::to_string(expected_files));
  }
  return std::chrono::duration<double>(stop - start).count();
}

double TimeFind(const std::string& root) {
  std::string program = "find";
  std::string mindepth = "-mindepth";
  std::string one = "1";
  std::string remove = "-delete";
  std::string dir = root;
  char* argv[] = {program.data(), dir.data(), mindepth.data(), one.data(), remove.data(), nullptr};
  const Clock::time_point start = Clock::now();
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, "find", nullptr, nullptr, argv, environ);
  if (spawned != 0)
    Fail(std::string("cannot run find: ") + std::strerror(spawned));
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR)
      Fail(Errno("waitpid find"));
  }
  const Clock::time_point stop = Clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    Fail("find failed");
  CheckEmpty(root, "find");
  return std::chrono::duration<double>(stop - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool ParseCount(std::string_view text, std::size_t* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

void Usage() {
  std::fprintf(stderr,
               "usage: sweep_bench [--files N] [--repeat N] [--depth N] [--per-folder N] "
               "[--max-ratio R] [--shape chromium]\n"
               "  --files N       files in each tree (default 100000)\n"
               "  --repeat N      timed rounds; medians are reported (default 3)\n"
               "  --depth N       folder levels below the root (default 3)\n"
               "  --per-folder N  files a folder, roughly (default 25)\n"
               "  --max-ratio R   exit 1 when median(sweep) / median(find) exceeds R\n"
               "  --shape chromium  a Chromium disk cache instead of the nested tree\n");
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (flag == "--help" || flag == "-h")
      return std::nullopt;
    if (i + 1 >= argc)
      return std::nullopt;
    const std::string_view value = argv[++i];
    bool ok = true;
    if (flag == "--files") {
      ok = ParseCount(value, &options.files);
    } else if (flag == "--repeat") {
      ok = ParseCount(value, &options.repeat) && options.repeat > 0;
    } else if (flag == "--depth") {
      ok = ParseCount(value, &options.depth) && options.depth <= 6;
    } else if (flag == "--per-folder") {
      ok = ParseCount(value, &options.per_folder) && options.per_folder > 0;
    } else if (flag == "--shape") {
      ok = value == "chromium";
      options.chromium = ok;
    } else if (flag == "--max-ratio") {
      char* end = nullptr;
      const std::string text(value);
      const double ratio = std::strtod(text.c_str(), &end);
      ok = end != text.c_str() && *end == '\0' && ratio > 0;
      options.max_ratio = ratio;
    } else {
      ok = false;
    }
    if (!ok)
      return std::nullopt;
  }
  return options;
}

std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                        "/larkspur-sweep-bench.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    Fail(Errno("mkdtemp " + pattern));
  return pattern;
}

int Run(const Options& options, const std::string& temp) {
  const Shape shape = PlanShape(options);
  PrintShape(shape);
  const std::string sweep_root = temp + "/sweep";
  const std::string find_root = temp + "/find";
  for (const std::string& root : {sweep_root, find_root}) {
    if (::mkdir(root.c_str(), 0755) != 0)
      Fail(Errno("mkdir " + root));
  }

  std::vector<double> sweep_times;
  std::vector<double> find_times;
  Tree tree(shape);
  for (std::size_t round = 0; round < options.repeat; ++round) {
    // Both trees are built before either is timed, so both meet the same cache state.
    tree.Build(sweep_root);
    tree.Build(find_root);
    const bool sweep_first = round % 2 == 0;
    double sweep = 0;
    double find = 0;
    if (sweep_first) {
      sweep = TimeSweep(sweep_root, shape.files);
      find = TimeFind(find_root);
    } else {
      find = TimeFind(find_root);
      sweep = TimeSweep(sweep_root, shape.files);
    }
    sweep_times.push_back(sweep);
    find_times.push_back(find);
    std::printf("round %zu (%s first): sweep %.3f s, find %.3f s, ratio %.2f\n", round + 1,
                sweep_first ? "sweep" : "find", sweep, find, sweep / find);
    std::fflush(stdout);
  }

  const double sweep = Median(sweep_times);
  const double find = Median(find_times);
  const double ratio = sweep / find;
  std::printf("median: sweep %.3f s, find %.3f s, ratio sweep/find %.2f\n", sweep, find, ratio);
  if (options.max_ratio && ratio > *options.max_ratio) {
    std::printf("FAIL: ratio %.2f exceeds the limit %.2f\n", ratio, *options.max_ratio);
    return kExitOverLimit;
  }
  if (options.max_ratio)
    std::printf("ok: ratio within the limit %.2f\n", *options.max_ratio);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    Usage();
    return kExitUsage;
  }
  std::string temp;
  int result = kExitFailure;
  try {
    temp = MakeTempDir();
    std::printf("working in %s\n", temp.c_str());
    result = Run(*options, temp);
  } catch (const Failure& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "sweep_bench: FAILED: %s\n", failure.what.c_str());
    result = kExitFailure;
  }
  // Only the directory made above is ever removed; remove_all does not follow links.
  if (!temp.empty()) {
    std::error_code error;
    std::filesystem::remove_all(temp, error);
    if (error) {
      std::fprintf(stderr, "sweep_bench: could not remove %s: %s\n", temp.c_str(),
                   error.message().c_str());
      if (result == 0)
        result = kExitFailure;
    }
  }
  return result;
}
