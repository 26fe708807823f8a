// One clean-up run of the URL cache on Linux, as the program makes it: list every entry of
// urlcache.tsv, delete each with its local file inside the Cache folder, sweep that folder.
// Everything happens inside a fresh temporary directory made here and removed at the end.
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "iecleanup/ie_history.h"
#include "cleanup/status_line.h"
#include "platform/native_stores.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kExitOverLimit = 1;
constexpr int kExitFailure = 2;
constexpr int kExitUsage = 64;
constexpr std::size_t kCacheFolders = 16;

struct CountingStatus final : larkspur::StatusLine {
  void SetCaption(const std::string&) override { ++captions; }
  std::size_t captions = 0;
};

// "X3", "page12.htm": std::to_string behind a literal trips GCC 12's -Wrestrict at -O3.
std::string Numbered(const char* format, std::size_t n) {
  char name[64];
  std::snprintf(name, sizeof name, format, n);
  return name;
}

// A data folder with the stores, and the Cache folder with one local file per entry.
void Build(const fs::path& root, std::size_t entries) {
  const fs::path cache = root / "ie" / "INetCache" / "Content.IE5";
  for (std::size_t folder = 0; folder < kCacheFolders; ++folder)
    fs::create_directories(cache / Numbered("X%zu", folder));
  fs::create_directories(root / "data" / "larkspur");
  std::ofstream registry(root / "data" / "larkspur" / "registry.reg");
  registry << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
              "Explorer\\Shell Folders]\n\"Cache\"=\""
           << (root / "ie" / "INetCache").string() << "\"\n";
  std::ofstream list(root / "data" / "larkspur" / "urlcache.tsv");
  for (std::size_t n = 0; n < entries; ++n) {
    const fs::path local = cache / Numbered("X%zu", n % kCacheFolders) / Numbered("page%zu.htm", n);
    std::ofstream(local) << "cached page " << n << '\n';
    list << (n % 10 == 0 ? "Cookie:user@site" : "http://www.site") << n << ".example/index.html\t"
         << local.string() << '\n';
  }
}

std::optional<double> TimeRun(const fs::path& root, std::size_t entries) {
  const larkspur::UserFolders folders{(root / "home").string(), (root / "config").string(),
                                      (root / "data").string(), (root / "cache").string(),
                                      (root / "state").string()};
  larkspur::NativeStores stores = larkspur::MakeNativeStores(folders);
  CountingStatus status;
  std::vector<std::string> cache_list;
  std::vector<std::string> cookie_list;
  larkspur::RunRecord record(status);
  larkspur::IEHistory ie({*stores.registry, *stores.url_cache, *stores.url_history, *stores.memory,
                          *stores.folders, record},
                         cache_list, cookie_list);
  const Clock::time_point start = Clock::now();
  ie.Load_IECacheEntries();
  ie.Delete_IETempFiles();
  ie.Delete_IECookies();
  const Clock::time_point stop = Clock::now();

  std::error_code error;
  const bool list_empty = fs::file_size(root / "data" / "larkspur" / "urlcache.tsv", error) == 0;
  std::size_t left = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root / "ie", error))
    left += entry.is_regular_file() ? 1 : 0;
  // The cookie entries' files are in the Cache folder too: its sweep shows them once more.
  const std::size_t cookies = (entries + 9) / 10;
  if (status.captions != entries + cookies || !list_empty || left != 0) {
    std::fprintf(stderr, "url_cache_bench: %zu lines shown, list %s, %zu files left\n",
                 status.captions, list_empty ? "empty" : "not empty", left);
    return std::nullopt;
  }
  return std::chrono::duration<double>(stop - start).count();
}

bool ParseNumber(std::string_view text, double* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size() && *value > 0;
}

}  // namespace

int main(int argc, char** argv) {
  double entries = 10000;
  std::optional<double> max_seconds;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    double value = 0;
    if (i + 1 < argc && (flag == "--entries" || flag == "--max-seconds") &&
        ParseNumber(argv[i + 1], &value)) {
      (flag == "--entries" ? entries : max_seconds.emplace()) = value;
      ++i;
    } else {
      std::fprintf(stderr,
                   "usage: url_cache_bench [--entries N] [--max-seconds S]\n"
                   "  --entries N      entries in the URL cache, each with a local file "
                   "(default 10000)\n"
                   "  --max-seconds S  exit 1 when the run takes longer\n");
      return kExitUsage;
    }
  }

  std::string pattern = (fs::temp_directory_path() / "larkspur-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("url_cache_bench: mkdtemp");
    return kExitFailure;
  }
  const fs::path root = pattern;
  const auto count = static_cast<std::size_t>(entries);
  int result = kExitFailure;
  try {
    Build(root, count);
    if (const std::optional<double> seconds = TimeRun(root, count)) {
      std::printf("URL cache: %zu entries and their local files deleted in %.3f s\n", count,
                  *seconds);
      result = max_seconds && *seconds > *max_seconds ? kExitOverLimit : 0;
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "url_cache_bench: %s\n", failure.what());
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return result;
}
