// What the clean-up logic relies on from every registry adapter: the 128-byte read buffer of
// GetFromRegistry, names without case, and deletions that touch one value only.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "contract/registry_harness.h"
#include "fakes/fake_registry.h"
#include "iecleanup/registry1.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "support/wine.h"
#else
#include "platform/posix/regedit4_registry.h"
#include "support/temp_dir.h"
#endif

namespace larkspur::testing {
namespace {

class FakeHarness final : public RegistryHarness {
 public:
  RegistryPort& port() override { return fake_; }
  void PutRaw(const std::string& key_path, const std::string& name, std::uint32_t type,
              const std::string& bytes) override {
    fake_.PutValue(key_path, name, type, bytes);
  }

 private:
  FakeRegistry fake_;
};

#ifndef _WIN32
// Writes the file as regedit would: CRLF, quoted strings, long hex lists over several lines.
class Regedit4Harness final : public RegistryHarness {
 public:
  RegistryPort& port() override { return registry_; }
  void PutRaw(const std::string& key_path, const std::string& name, std::uint32_t type,
              const std::string& bytes) override {
    std::string line = '"' + Escape(name) + "\"=";
    const bool plain_string =
        type == kRegSz && !bytes.empty() && bytes.find('\0') == bytes.size() - 1;
    if (plain_string) {
      line += '"' + Escape(bytes.substr(0, bytes.size() - 1)) + '"';
    } else {
      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
      line += prefix;
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(bytes[i]));
        line += byte;
        if (i + 1 < bytes.size())
          line += (i % 20 == 19) ? ",\\\r\n  " : ",";
      }
    }
    sections_[key_path].push_back(line);
    std::string text = "REGEDIT4\r\n";
    for (const auto& [key, lines] : sections_) {
      text += "\r\n[HKEY_CURRENT_USER\\" + key + "]\r\n";
      for (const std::string& value : lines)
        text += value + "\r\n";
    }
    WriteFile(file_, text);
  }

 private:
  static std::string Escape(const std::string& text) {
    std::string escaped;
    for (char c : text) {
      if (c == '\\' || c == '"')
        escaped += '\\';
      escaped += c;
    }
    return escaped;
  }

  TempDir dir_;
  std::filesystem::path file_ = dir_ / "registry.reg";
  Regedit4Registry registry_{file_.string()};
  std::map<std::string, std::vector<std::string>> sections_;
};
#endif

#ifdef _WIN32
// The real registry of the Wine prefix that the test script made. Every value it stores is
// deleted again, with the suite's own keys.
class Win32Harness final : public RegistryHarness {
 public:
  ~Win32Harness() override {
    for (const auto& [key_path, name] : stored_) {
      HKEY key = nullptr;
      if (::RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, KEY_SET_VALUE, &key) == 0) {
        ::RegDeleteValueA(key, name.c_str());
        ::RegCloseKey(key);
      }
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Larkspur Contract");
  }

  RegistryPort& port() override { return registry_; }

  void PutRaw(const std::string& key_path, const std::string& name, std::uint32_t type,
              const std::string& bytes) override {
    if (!RunningUnderWine())
      GTEST_FAIL() << "writes the real registry; runs only under Wine";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // RegSetValueExA stores string data with the NUL that follows it; a non-NUL after the bytes
    // keeps them exactly as given.
    const std::string data = bytes + 'X';
    EXPECT_EQ(
        ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                         static_cast<DWORD>(bytes.size())),
        ERROR_SUCCESS);
    ::RegCloseKey(key);
    stored_.emplace_back(key_path, name);
  }

 private:
  Win32Registry registry_;
  std::vector<std::pair<std::string, std::string>> stored_;
};
#endif

INSTANTIATE_TEST_SUITE_P(
    Adapters, RegistryContract,
    ::testing::Values(
#ifdef _WIN32
        RegistryHarnessFactory{"Win32Registry", [] { return std::make_unique<Win32Harness>(); }},
#else
        RegistryHarnessFactory{"Regedit4Registry",
                               [] { return std::make_unique<Regedit4Harness>(); }},
#endif
        RegistryHarnessFactory{"FakeRegistry", [] { return std::make_unique<FakeHarness>(); }}),
    RegistryHarnessName);

const std::string kKey = "Software\\Larkspur Contract\\TypedURLs";
const std::string kOtherKey = "Software\\Larkspur Contract\\Other";

std::string Get(RegistryPort& port, const std::string& key_path, const std::string& name) {
  return GetFromRegistry(port, kHkeyCurrentUser, key_path, name, "<default>");
}

TEST_P(RegistryContract, StringsThatFitTheBufferComeBackWhole) {
  const std::string fits(127, 'a');
  harness().PutString(kKey, "fits", fits);
  harness().PutString(kKey, "empty", "");
  harness().PutString(kKey, "path", "C:\\Documents and Settings\\\"quoted\"");

  EXPECT_EQ(Get(port(), kKey, "fits"), fits);
  EXPECT_EQ(Get(port(), kKey, "empty"), "");
  EXPECT_EQ(Get(port(), kKey, "path"), "C:\\Documents and Settings\\\"quoted\"");
}

TEST_P(RegistryContract, LongerDataReportsItsSizeAndLeavesTheBufferAlone) {
  harness().PutString(kKey, "long", std::string(128, 'b'));
  EXPECT_EQ(Get(port(), kKey, "long"), "<default>");

  RegKey key = 0;
  ASSERT_EQ(port().OpenKey(kHkeyCurrentUser, kKey, kKeyAllAccess, &key), kErrorSuccess);
  EXPECT_NE(key, 0u);
  std::array<unsigned char, 128> buffer;
  buffer.fill(0xAB);
  std::uint32_t type = 0;
  std::uint32_t size = buffer.size();
  EXPECT_EQ(port().QueryValue(key, "long", &type, buffer.data(), &size), kErrorMoreData);
  EXPECT_EQ(size, 129u);
  EXPECT_EQ(type, kRegSz);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](unsigned char c) { return c == 0xAB; }));

  size = 0;
  EXPECT_EQ(port().QueryValue(key, "long", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(size, 129u);
  EXPECT_EQ(port().CloseKey(key), kErrorSuccess);
}

TEST_P(RegistryContract, RawDataIsCopiedAsStoredAndNeverPastTheBuffer) {
  const std::string unterminated(128, 'c');
  const std::string binary("\x01\x00\xff\x7f", 4);
  harness().PutRaw(kKey, "unterminated", kRegSz, unterminated);
  harness().PutRaw(kKey, "binary", kRegBinary, binary);

  // Fills the 128 bytes without a NUL: taken whole, nothing read or written beyond.
  EXPECT_EQ(Get(port(), kKey, "unterminated"), unterminated);

  RegKey key = 0;
  ASSERT_EQ(port().OpenKey(kHkeyCurrentUser, kKey, kKeyAllAccess, &key), kErrorSuccess);
  std::array<unsigned char, 128> buffer{};
  std::uint32_t type = 0;
  std::uint32_t size = buffer.size();
  EXPECT_EQ(port().QueryValue(key, "binary", &type, buffer.data(), &size), kErrorSuccess);
  EXPECT_EQ(type, kRegBinary);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + size), binary);
  port().CloseKey(key);
}

TEST_P(RegistryContract, MissingKeysAndValuesGiveTheDefault) {
  harness().PutString(kKey, "present", "x");

  RegKey key = 1234;
  EXPECT_EQ(port().OpenKey(kHkeyCurrentUser, kKey + "\\Absent", kKeyAllAccess, &key),
            kErrorFileNotFound);
  EXPECT_EQ(Get(port(), kKey + "\\Absent", "present"), "<default>");
  EXPECT_EQ(Get(port(), kKey, "absent"), "<default>");

  ASSERT_EQ(port().OpenKey(kHkeyCurrentUser, kKey, kKeyAllAccess, &key), kErrorSuccess);
  std::uint32_t size = 0;
  EXPECT_EQ(port().QueryValue(key, "absent", nullptr, nullptr, &size), kErrorFileNotFound);
  port().CloseKey(key);
}

TEST_P(RegistryContract, PathsAndNamesMatchWithoutCaseAndWithATrailingBackslash) {
  harness().PutString(kKey, "url1", "http://example.org/");
  harness().PutString(kShellFoldersKey, "Larkspur Test Folder", "C:\\Temp\\History");

  EXPECT_EQ(Get(port(), kKey + "\\", "url1"), "http://example.org/");
  EXPECT_EQ(Get(port(), "SOFTWARE\\larkspur contract\\typedurls\\", "URL1"), "http://example.org/");
  EXPECT_EQ(GetShellFolder(port(), "LARKSPUR TEST FOLDER"), "C:\\Temp\\History");
  EXPECT_EQ(GetShellFolder(port(), "Larkspur Absent Folder"), "");
}

TEST_P(RegistryContract, DeletingRemovesThatValueOnly) {
  for (const char* name : {"url1", "url2", "url3"})
    harness().PutString(kKey, name, name);
  harness().PutString(kOtherKey, "url2", "elsewhere");

  DeleteFromRegistry(port(), kHkeyCurrentUser, kKey + "\\", "URL2");

  EXPECT_EQ(Get(port(), kKey, "url2"), "<default>");
  EXPECT_EQ(Get(port(), kKey, "url1"), "url1");
  EXPECT_EQ(Get(port(), kKey, "url3"), "url3");
  EXPECT_EQ(Get(port(), kOtherKey, "url2"), "elsewhere");

  RegKey key = 0;
  ASSERT_EQ(port().OpenKey(kHkeyCurrentUser, kKey, kKeyAllAccess, &key), kErrorSuccess);
  EXPECT_EQ(port().DeleteValue(key, "url2"), kErrorFileNotFound);
  EXPECT_EQ(port().DeleteValue(key, "never there"), kErrorFileNotFound);
  EXPECT_EQ(Get(port(), kKey, "url1"), "url1");
  EXPECT_EQ(port().CloseKey(key), kErrorSuccess);
  EXPECT_EQ(port().CloseKey(key), kErrorInvalidHandle);
}

}  // namespace
}  // namespace larkspur::testing
