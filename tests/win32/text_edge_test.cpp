// Text at the edge of the "A" functions under Wine: UTF-8 inside, the ANSI code page outside.
#include <windows.h>
#undef GetPrivateProfileString  // the port's method, not windows.h's name for the ANSI call

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/win32_profile_strings.h"
#include "platform/win32/win32_registry.h"
#include "support/temp_dir.h"
#include "support/wine.h"

namespace larkspur {
namespace {

const std::string kCafe = "Caf\xC3\xA9";  // "Café" in UTF-8
const std::wstring kWideCafe = L"Caf\u00E9";
const std::string kCyrillic = "\xD0\x9F\xD1\x80";  // "Пр", outside most Western code pages

// "Café" in the code page, or empty where the code page cannot write it.
std::string AnsiCafe() {
  BOOL lossy = FALSE;
  char bytes[16] = {};
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, kWideCafe.c_str(), -1, bytes, sizeof bytes, nullptr, &lossy);
  return length > 0 && !lossy ? std::string(bytes) : std::string();
}

TEST(CodePage, ConvertsBothWaysAndRefusesBrokenUtf8) {
  EXPECT_EQ(Utf8FromWide(WideFromUtf8(kCyrillic)), kCyrillic);
  EXPECT_EQ(WideFromUtf8("\xC3"), L"") << "a cut character is refused, not guessed";
  EXPECT_TRUE(IsUtf8(kCafe));
  EXPECT_FALSE(IsUtf8("Caf\xE9"));
  if (AnsiCafe().empty() || AnsiCafe() == kCafe)
    GTEST_SKIP() << "the code page (" << ::GetACP() << ") does not tell the two apart";
  EXPECT_EQ(AnsiFromUtf8(kCafe), AnsiCafe());
  EXPECT_EQ(Utf8FromAnsi(AnsiCafe()), kCafe);
  EXPECT_EQ(AnsiFromUtf8("plain"), "plain");
}

class RegistryText : public ::testing::Test {
 protected:
  void SetUp() override {
    LARKSPUR_REQUIRE_WINE();
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (key_ != nullptr)
      ::RegCloseKey(key_);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Larkspur Text Test");
  }
  void Put(const wchar_t* name, const std::wstring& text) {
    ::RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  long Query(const std::string& name, std::vector<unsigned char>* data, std::uint32_t* size) {
    RegKey key = 0;
    EXPECT_EQ(
        registry_.OpenKey(kHkeyCurrentUser, "Software\\Larkspur Text Test", kKeyAllAccess, &key),
        kErrorSuccess);
    std::uint32_t type = 0;
    const long result = registry_.QueryValue(key, name, &type, data->data(), size);
    registry_.CloseKey(key);
    return result;
  }

  static constexpr const wchar_t* kKey = L"Software\\Larkspur Text Test";
  HKEY key_ = nullptr;
  Win32Registry registry_;
};

TEST_F(RegistryText, StringsArriveAsUtf8AndTheBufferCountsUtf8Bytes) {
  if (AnsiCafe().empty())
    GTEST_SKIP() << "the code page cannot write the value";
  Put(L"folder", L"C:\\users\\" + kWideCafe);
  std::vector<unsigned char> data(128, '#');
  std::uint32_t size = 128;
  ASSERT_EQ(Query("folder", &data, &size), kErrorSuccess);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data())), "C:\\users\\" + kCafe);
  EXPECT_EQ(size, std::string("C:\\users\\" + kCafe).size() + 1);

  // Fits in the code page's bytes but not as UTF-8: the buffer is left alone.
  const std::wstring long_value(126, L'\u00E9');  // 127 bytes with the NUL in the code page
  Put(L"long", long_value);
  data.assign(128, '#');
  size = 128;
  EXPECT_EQ(Query("long", &data, &size), kErrorMoreData);
  EXPECT_EQ(size, 126u * 2 + 1);
  EXPECT_EQ(data[0], '#');
}

TEST(ProfileStringsText, Utf8FilesStayUtf8AndCodePageFilesAreConverted) {
  testing::TempDir dir;
  Win32ProfileStrings strings;
  char buffer[255];
  testing::WriteFile(dir / "utf8.ini", "[Profile0]\nPath=Profiles/" + kCyrillic + ".default\n");
  strings.GetPrivateProfileString("Profile0", "Path", "", buffer, sizeof buffer,
                                  (dir / "utf8.ini").string());
  EXPECT_EQ(std::string(buffer), "Profiles/" + kCyrillic + ".default");

  if (AnsiCafe().empty() || AnsiCafe() == kCafe)
    GTEST_SKIP() << "the code page (" << ::GetACP() << ") does not tell the two apart";
  testing::WriteFile(dir / "ansi.ini", "[Profile0]\nPath=" + AnsiCafe() + "\n");
  const std::uint32_t count = strings.GetPrivateProfileString(
      "Profile0", "Path", "", buffer, sizeof buffer, (dir / "ansi.ini").string());
  EXPECT_EQ(std::string(buffer), kCafe);
  EXPECT_EQ(count, kCafe.size());

  // Converted text is cut to the buffer without splitting a character.
  testing::WriteFile(dir / "cut.ini", "[Profile0]\nPath=" + AnsiCafe() + "\n");
  char small[5];
  EXPECT_EQ(strings.GetPrivateProfileString("Profile0", "Path", "", small, sizeof small,
                                            (dir / "cut.ini").string()),
            3u);
  EXPECT_EQ(std::string(small), "Caf");
}

}  // namespace
}  // namespace larkspur
