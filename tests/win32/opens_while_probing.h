#pragma once
// How often a program's own opens of a file fail while another thread probes it over and over:
// a probe that takes part in sharing, or marks the file for deletion even for a moment, makes
// some of them fail.
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

namespace larkspur::testing {

struct OpensWhileProbing {
  int failed = 0;
  int probes = 0;
};

inline OpensWhileProbing OpenWhileProbing(const std::filesystem::path& file, DWORD share,
                                          const std::function<void()>& probe) {
  OpensWhileProbing seen;
  std::atomic<bool> done = false;
  std::atomic<int> probes = 0;
  std::thread prober([&] {
    for (; !done; ++probes)
      probe();
  });
  for (int open = 0; open < 3000 || probes < 50; ++open) {
    const HANDLE handle =
        ::CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    handle == INVALID_HANDLE_VALUE ? ++seen.failed : ::CloseHandle(handle);
  }
  done = true;
  prober.join();
  seen.probes = probes;
  return seen;
}

}  // namespace larkspur::testing
