#pragma once
// One suite, registry_contract_test.cpp, runs against every RegistryPort adapter. An adapter
// joins with a harness and one line in a .cpp of its own:
//   INSTANTIATE_TEST_SUITE_P(Wine, RegistryContract,
//                            ::testing::Values(RegistryHarnessFactory{"Wine", &MakeWineHarness}),
//                            RegistryHarnessName);
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/registry.h"

namespace larkspur::testing {

// Seeds values under HKEY_CURRENT_USER behind the adapter's back. Each test gets a fresh
// harness, which starts from keys no other test uses and leaves nothing behind.
class RegistryHarness {
 public:
  virtual ~RegistryHarness() = default;
  virtual RegistryPort& port() = 0;
  // Stores exactly `bytes` with `type`, creating the key. (RegSetValueExA counts in a NUL that
  // follows string data, so a Windows harness must pass the bytes with something else after.)
  virtual void PutRaw(const std::string& key_path, const std::string& name, std::uint32_t type,
                      const std::string& bytes) = 0;

  void PutString(const std::string& key_path, const std::string& name, const std::string& text) {
    PutRaw(key_path, name, kRegSz, text + '\0');
  }
};

struct RegistryHarnessFactory {
  std::string name;
  std::function<std::unique_ptr<RegistryHarness>()> make;
};

inline void PrintTo(const RegistryHarnessFactory& factory, std::ostream* out) {
  *out << factory.name;
}

inline std::string RegistryHarnessName(
    const ::testing::TestParamInfo<RegistryHarnessFactory>& info) {
  return info.param.name;
}

class RegistryContract : public ::testing::TestWithParam<RegistryHarnessFactory> {
 protected:
  void SetUp() override { harness_ = GetParam().make(); }

  RegistryHarness& harness() { return *harness_; }
  RegistryPort& port() { return harness_->port(); }

 private:
  std::unique_ptr<RegistryHarness> harness_;
};

}  // namespace larkspur::testing
