// INI::GetFromINI over the platform's reader: what its 255-byte buffer and empty default make of
// the answers. The reader's own answers are pinned by the profile-strings contract suite.
#include "firefox/ini.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/native_ports.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

class IniTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& contents) {
    testing::WriteFile(dir_ / "profiles.ini", contents);
    return (dir_ / "profiles.ini").string();
  }

  testing::TempDir dir_;
  std::unique_ptr<ProfileStringPort> reader_ = testing::NativeProfileStrings();
  INI ini_{*reader_};
};

TEST_F(IniTest, KeepsAtMost254Characters) {
  const std::string file =
      Write("[Profile0]\nPath=" + std::string(300, 'p') + "\nName=" + std::string(254, 'n') + "\n");
  EXPECT_EQ(ini_.GetFromINI(file, "Profile0", "Path"), std::string(254, 'p'));
  EXPECT_EQ(ini_.GetFromINI(file, "Profile0", "Name"), std::string(254, 'n'));
}

TEST_F(IniTest, GivesEmptyStringForWhatIsMissing) {
  const std::string file = Write("[Profile0]\nPath=abcd1234.default\nName=\n");
  EXPECT_EQ(ini_.GetFromINI(file, "Profile0", "Path"), "abcd1234.default");
  EXPECT_EQ(ini_.GetFromINI(file, "Profile0", "Name"), "");
  EXPECT_EQ(ini_.GetFromINI(file, "Profile0", "IsRelative"), "");
  EXPECT_EQ(ini_.GetFromINI(file, "Profile1", "Path"), "");
  EXPECT_EQ(ini_.GetFromINI((dir_ / "missing.ini").string(), "Profile0", "Path"), "");
}

}  // namespace
}  // namespace larkspur
