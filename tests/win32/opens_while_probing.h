#pragma once
// How many of a program's own opens of a file fail while another thread probes it over and over
// (at least 50 times): a probe that takes part in sharing, or marks the file for deletion even
// for a moment, makes some of them fail.
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

namespace larkspur::testing {

inline int FailedOpensWhileProbing(const std::filesystem::path& file, DWORD share,
                                   const std::function<void()>& probe) {
  std::atomic<bool> done = false;
  std::atomic<int> probes = 0;
  std::thread prober([&] {
    for (; !done; ++probes)
      probe();
  });
  int failed = 0;
  for (int open = 0; open < 3000 || probes < 50; ++open) {
    const HANDLE handle =
        ::CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    handle == INVALID_HANDLE_VALUE ? ++failed : ::CloseHandle(handle);
  }
  done = true;
  prober.join();
  return failed;
}

}  // namespace larkspur::testing
