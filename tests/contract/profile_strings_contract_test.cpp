// One suite for every ProfileStringPort adapter: each must answer as GetPrivateProfileStringA.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/profile_strings.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "platform/win32/win32_profile_strings.h"
#else
#include "platform/posix/ini_profile_strings.h"
#endif

namespace larkspur {
namespace {

struct Adapter {
  const char* name;
  std::function<std::unique_ptr<ProfileStringPort>()> make;
};

void PrintTo(const Adapter& adapter, std::ostream* out) {
  *out << adapter.name;
}

// Adding an adapter here runs the whole suite against it.
std::vector<Adapter> Adapters() {
  return {
#ifdef _WIN32
      {"Win32ProfileStrings", [] { return std::make_unique<Win32ProfileStrings>(); }},
#else
      {"IniProfileStrings", [] { return std::make_unique<IniProfileStrings>(); }},
#endif
  };
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

const char kFirefoxProfilesIni[] =
    "[Install4F96D1932A9F858E]\n"
    "Default=xxxxxxxx.default-esr\n"
    "Locked=1\n"
    "\n"
    "[Profile1]\n"
    "Name=default\n"
    "IsRelative=1\n"
    "Path=yyyyyyyy.default\n"
    "Default=1\n"
    "\n"
    "[Profile0]\n"
    "Name=default-esr\n"
    "IsRelative=1\n"
    "Path=xxxxxxxx.default-esr\n"
    "\n"
    "[General]\n"
    "StartWithLastProfile=1\n"
    "Version=2\n"
    "\n";

class ProfileStringsContract : public ::testing::TestWithParam<Adapter> {
 protected:
  // Writes `contents` to a file of this test and gives its path as the port takes it. Every
  // call makes a new file: Windows keeps an INI file it has read cached for a moment.
  std::string Ini(const std::string& contents, const std::string& name = "test.ini") {
    const std::string unique = std::to_string(++files_) + "-" + name;
    testing::WriteFile(dir_ / unique, contents);
    return Utf8(dir_ / unique);
  }

  // The text the port copies, after checking what every answer must keep to: a NUL right after
  // the counted characters, inside the buffer, and nothing written past it.
  std::string Get(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& default_value = "", std::uint32_t size = 255) {
    std::vector<char> buffer(size + 1, '#');
    const std::uint32_t count =
        port_->GetPrivateProfileString(section, key, default_value, buffer.data(), size, file);
    EXPECT_LT(count, size);
    if (count >= size)
      return {};
    EXPECT_EQ(buffer[count], '\0');
    EXPECT_EQ(std::strlen(buffer.data()), count);
    EXPECT_EQ(buffer[size], '#') << "wrote past the buffer";
    return std::string(buffer.data(), count);
  }

  testing::TempDir dir_;
  int files_ = 0;
  std::unique_ptr<ProfileStringPort> port_ = GetParam().make();
};

TEST_P(ProfileStringsContract, ReadsProfilesIniAsFirefoxWritesIt) {
  const std::string file = Ini(kFirefoxProfilesIni, "profiles.ini");
  EXPECT_EQ(Get(file, "Profile0", "Path"), "xxxxxxxx.default-esr");
  EXPECT_EQ(Get(file, "Profile0", "IsRelative"), "1");
  EXPECT_EQ(Get(file, "Profile1", "Name"), "default");
  EXPECT_EQ(Get(file, "Profile1", "Path"), "yyyyyyyy.default");
  EXPECT_EQ(Get(file, "Profile1", "Default"), "1");
  EXPECT_EQ(Get(file, "General", "StartWithLastProfile"), "1");
  EXPECT_EQ(Get(file, "General", "Version"), "2");
  EXPECT_EQ(Get(file, "Install4F96D1932A9F858E", "Default"), "xxxxxxxx.default-esr");
  // Default= of the [Install…] section above must not leak into a profile that has none.
  EXPECT_EQ(Get(file, "Profile0", "Default", "none"), "none");
  EXPECT_EQ(Get(file, "Profile2", "Path", "none"), "none");
  EXPECT_EQ(testing::ReadFile(file), kFirefoxProfilesIni) << "reading changed the file";
}

TEST_P(ProfileStringsContract, ReturnsPathWithSlashesAsWritten) {
  const std::string file =
      Ini("[General]\r\nStartWithLastProfile=1\r\n\r\n"
          "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abcd1234.default\r\n");
  EXPECT_EQ(Get(file, "Profile0", "Path"), "Profiles/abcd1234.default");
  EXPECT_EQ(Get(file, "Profile0", "IsRelative"), "1");
}

TEST_P(ProfileStringsContract, MatchesSectionAndKeyWithoutCase) {
  const std::string file = Ini("[PROFILE0]\npath=abcd1234.default\nIsRelative=1\n");
  EXPECT_EQ(Get(file, "Profile0", "Path"), "abcd1234.default");
  EXPECT_EQ(Get(file, "profile0", "PATH"), "abcd1234.default");
  EXPECT_EQ(Get(file, "pRoFiLe0", "isrelative"), "1");
}

TEST_P(ProfileStringsContract, TrimsLinesNamesAndValues) {
  const std::string file =
      Ini("  [ Profile0 ]  \n"
          "\t Name \t=  two  words \t\n"
          "   Path=abcd1234.default   \n"
          "Empty =   \n");
  EXPECT_EQ(Get(file, "Profile0", "Name"), "two  words");
  EXPECT_EQ(Get(file, "Profile0", "Path"), "abcd1234.default");
  EXPECT_EQ(Get(file, "Profile0", "Empty", "default"), "");
}

TEST_P(ProfileStringsContract, RemovesOnePairOfMatchingQuotesAroundTheValue) {
  const std::string file =
      Ini("[Q]\n"
          "Double=\"Profiles/with space.default\"\n"
          "Single='single'\n"
          "Padded=  \"  inner blanks stay  \"  \n"
          "Twice=\"\"twice\"\"\n"
          "Empty=\"\"\n"
          "Mixed=\"mixed'\n"
          "OpenOnly=\"open\n"
          "Lone=\"\n"
          "Inside=a \"b\" c\n");
  EXPECT_EQ(Get(file, "Q", "Double"), "Profiles/with space.default");
  EXPECT_EQ(Get(file, "Q", "Single"), "single");
  EXPECT_EQ(Get(file, "Q", "Padded"), "  inner blanks stay  ");
  EXPECT_EQ(Get(file, "Q", "Twice"), "\"twice\"");
  EXPECT_EQ(Get(file, "Q", "Empty", "default"), "");
  EXPECT_EQ(Get(file, "Q", "Mixed"), "\"mixed'");
  EXPECT_EQ(Get(file, "Q", "OpenOnly"), "\"open");
  EXPECT_EQ(Get(file, "Q", "Lone"), "\"");
  EXPECT_EQ(Get(file, "Q", "Inside"), "a \"b\" c");
}

TEST_P(ProfileStringsContract, SemicolonAfterAValueIsPartOfIt) {
  const std::string file =
      Ini("; a comment line\n"
          "[Profile0]\n"
          ";Name=commented out\n"
          "Path=abcd1234.default ; not a comment\n"
          "Name=a;b\n"
          "[Hidden]\n"
          "; Path=commented out\n");
  EXPECT_EQ(Get(file, "Profile0", "Path"), "abcd1234.default ; not a comment");
  EXPECT_EQ(Get(file, "Profile0", "Name"), "a;b");
  EXPECT_EQ(Get(file, "Hidden", "Path", "none"), "none");
}

TEST_P(ProfileStringsContract, ReadsCrLfLfAndCrLineEnds) {
  int variant = 0;
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(::testing::PrintToString(end));
    const std::string file =
        Ini("[Profile0]" + end + "Name=default" + end + "Path=abcd1234.default" + end +
                "[General]" + end + "Version=2",
            "ends" + std::to_string(++variant) + ".ini");
    EXPECT_EQ(Get(file, "Profile0", "Name"), "default");
    EXPECT_EQ(Get(file, "Profile0", "Path"), "abcd1234.default");
    EXPECT_EQ(Get(file, "General", "Version"), "2");
  }
}

TEST_P(ProfileStringsContract, SkipsUtf8ByteOrderMark) {
  const std::string file = Ini("\xEF\xBB\xBF[Profile0]\r\nPath=abcd1234.default\r\n");
  EXPECT_EQ(Get(file, "Profile0", "Path"), "abcd1234.default");
}

TEST_P(ProfileStringsContract, FirstSectionAndFirstKeyWin) {
  const std::string file =
      Ini("[Profile0]\n"
          "Path=first\n"
          "Path=second\n"
          "[Other]\n"
          "[profile0]\n"
          "Path=third\n"
          "Name=only in the second copy\n");
  EXPECT_EQ(Get(file, "Profile0", "Path"), "first");
  // A repeated section is not searched at all.
  EXPECT_EQ(Get(file, "Profile0", "Name", "none"), "none");
}

TEST_P(ProfileStringsContract, CutsTheValueToFitTheBufferWithItsNul) {
  const std::string long_value(300, 'v');
  const std::string file = Ini("[Profile0]\nPath=" + long_value + "\nName=default\n");
  EXPECT_EQ(Get(file, "Profile0", "Path", "", 255), std::string(254, 'v'));
  EXPECT_EQ(Get(file, "Profile0", "Name", "", 8), "default");
  EXPECT_EQ(Get(file, "Profile0", "Name", "", 7), "defaul");
  EXPECT_EQ(Get(file, "Profile0", "Name", "", 1), "");
  // The default is cut the same way.
  EXPECT_EQ(Get(file, "Profile0", "Missing", long_value, 255), std::string(254, 'v'));

  char untouched[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(port_->GetPrivateProfileString("Profile0", "Name", "", untouched, 0, file), 0u);
  EXPECT_EQ(std::string(untouched, 4), "####");
}

TEST_P(ProfileStringsContract, AnswersTheDefaultForMissingFileSectionOrKey) {
  const std::string file = Ini("[Profile0]\nPath=abcd1234.default\nNoEquals\n[Profile1]\n");
  const std::string missing = Utf8(dir_ / "missing.ini");
  EXPECT_EQ(Get(missing, "Profile0", "Path", "default"), "default");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing.ini")) << "reading created the file";
  EXPECT_EQ(Get(missing, "Profile0", "Path"), "");
  EXPECT_EQ(Get(file, "Profile9", "Path", "default"), "default");
  EXPECT_EQ(Get(file, "Profile0", "Name", "default"), "default");
  EXPECT_EQ(Get(file, "Profile1", "Path", "default"), "default");
  EXPECT_EQ(Get(file, "Profile0", "NoEquals", "default"), "default");
  EXPECT_EQ(Get(Utf8(dir_.path()), "Profile0", "Path", "default"), "default");
  // Windows drops trailing spaces of the default.
  EXPECT_EQ(Get(missing, "Profile0", "Path", " padded  "), " padded");
}

TEST_P(ProfileStringsContract, EmptyValueIsEmptyNotTheDefault) {
  const std::string file = Ini("[Profile0]\nName=\nPath=abcd1234.default\n");
  EXPECT_EQ(Get(file, "Profile0", "Name", "default"), "");
  EXPECT_EQ(Get(Ini(""), "Profile0", "Name", "default"), "default");
}

TEST_P(ProfileStringsContract, ReadsFileInAFolderWithNonAsciiName) {
  const std::filesystem::path folder = dir_.path() / std::filesystem::path(u8"Jos\u00e9 Profil");
  testing::WriteFile(folder / "profiles.ini", "[Profile0]\nPath=abcd1234.default\n");
  EXPECT_EQ(Get(Utf8(folder / "profiles.ini"), "Profile0", "Path"), "abcd1234.default");
}

TEST_P(ProfileStringsContract, SurvivesBinaryAndHugeFiles) {
  std::mt19937 random(20240611);
  std::string garbage(1 << 20, '\0');
  for (char& byte : garbage)
    byte = static_cast<char>(random());
  const std::string garbage_file = Ini(garbage, "garbage.ini");
  Get(garbage_file, "Profile0", "Path", "default");
  Get(garbage_file, "Profile0", "Path", "default", 3);

  // A value that spans megabytes, with no line break after it.
  const std::string one_line = Ini("[Profile0]\nPath=" + std::string(3 << 20, 'p'), "line.ini");
  EXPECT_EQ(Get(one_line, "Profile0", "Path"), std::string(254, 'p'));

  std::string big = "[Filler]\n";
  for (int i = 0; i < 100000; ++i)
    big += "Key" + std::to_string(i) + "=some filler value\n";
  big += "[Profile0]\nPath=abcd1234.default\n";
  EXPECT_EQ(Get(Ini(big, "big.ini"), "Profile0", "Path"), "abcd1234.default");

  // A NUL read from the file ends the value.
  const char with_nul[] = "[Profile0]\nPath=abcd\0tail\n";
  const std::string nul_file = Ini(std::string(with_nul, sizeof with_nul - 1), "nul.ini");
  EXPECT_EQ(Get(nul_file, "Profile0", "Path"), "abcd");
}

INSTANTIATE_TEST_SUITE_P(Adapters, ProfileStringsContract, ::testing::ValuesIn(Adapters()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace larkspur
