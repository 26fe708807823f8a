// The file side of the Linux registry: what it reads from REGEDIT4 text, and that a deletion
// changes nothing but the value's own lines.
#include "platform/posix/regedit4_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <string>
#include <vector>

#include "iecleanup/registry1.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct Answer {
  long result;
  std::uint32_t type = 0;
  std::string bytes;
};

Answer Query(RegistryPort& registry, const std::string& key_path, const std::string& name,
             RootKey root = kHkeyCurrentUser) {
  RegKey key = 0;
  Answer answer{registry.OpenKey(root, key_path, kKeyAllAccess, &key), 0, {}};
  if (answer.result != kErrorSuccess)
    return answer;
  std::array<unsigned char, 256> buffer{};
  std::uint32_t size = buffer.size();
  answer.result = registry.QueryValue(key, name, &answer.type, buffer.data(), &size);
  if (answer.result == kErrorSuccess)
    answer.bytes.assign(buffer.begin(), buffer.begin() + size);
  registry.CloseKey(key);
  return answer;
}

long Delete(RegistryPort& registry, const std::string& key_path, const std::string& name) {
  RegKey key = 0;
  const long opened = registry.OpenKey(kHkeyCurrentUser, key_path, kKeyAllAccess, &key);
  if (opened != kErrorSuccess)
    return opened;
  const long result = registry.DeleteValue(key, name);
  registry.CloseKey(key);
  return result;
}

template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// Changes when the file is replaced, even by identical bytes.
ino_t Inode(const std::filesystem::path& path) {
  struct stat state {};
  return ::stat(path.c_str(), &state) == 0 ? state.st_ino : 0;
}

std::string WithLineEnds(std::string text, const std::string& line_end) {
  for (std::size_t at = text.find('\n'); at != std::string::npos;
       at = text.find('\n', at + line_end.size())) {
    text.replace(at, 1, line_end);
  }
  return text;
}

TEST(Regedit4Registry, ReadsEveryValueFormWithEitherLineEnd) {
  const std::string text =
      "REGEDIT4\n\n; a comment\n"
      "[HKEY_CURRENT_USER\\Software\\Test\\Deep]\n"
      "@=\"default\"\n"
      "\"Quote\"=\"say \\\"hi\\\" to C:\\\\dir\\\\\"\n"
      "\"count\" = dword:0000000A\n"
      "\"bin\"=hex:01,FF,\\\n"
      "  00\n"
      "\"expand\"=hex(2):25,00\n"
      "\"raw\"=hex(1):61,62\n"
      "\"none\"=hex:\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Test\\Deep]\n"
      "\"foreign\"=\"x\"\n";
  for (const std::string line_end : {"\n", "\r\n"}) {
    SCOPED_TRACE(line_end.size());
    TempDir dir;
    WriteFile(dir / "r.reg", WithLineEnds(text, line_end));
    Regedit4Registry registry((dir / "r.reg").string());
    const std::string key = "software\\test\\deep\\";

    const struct {
      const char* name;
      std::uint32_t type;
      std::string bytes;
    } expected[] = {
        {"", kRegSz, Bytes("default\0")},
        {"quote", kRegSz, Bytes("say \"hi\" to C:\\dir\\\0")},
        {"COUNT", kRegDword, Bytes("\x0a\0\0\0")},
        {"bin", kRegBinary, Bytes("\x01\xff\x00")},
        {"expand", kRegExpandSz, Bytes("%\0")},
        {"raw", kRegSz, "ab"},
        {"none", kRegBinary, ""},
    };
    for (const auto& value : expected) {
      const Answer answer = Query(registry, key, value.name);
      EXPECT_EQ(answer.result, kErrorSuccess) << value.name;
      EXPECT_EQ(answer.type, value.type) << value.name;
      EXPECT_EQ(answer.bytes, value.bytes) << value.name;
    }
    EXPECT_EQ(Query(registry, key, "foreign").result, kErrorFileNotFound);
    EXPECT_EQ(Query(registry, "Software\\Test\\Deep", "bin", 0x80000002u).result,
              kErrorFileNotFound);
    RegKey handle = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "Software\\Test", kKeyAllAccess, &handle),
              kErrorSuccess);
    EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "Software\\Tes", kKeyAllAccess, &handle),
              kErrorFileNotFound);
  }
}

TEST(Regedit4Registry, DeletingKeepsEveryOtherByteOfTheFile) {
  TempDir dir;
  const auto path = dir / "r.reg";
  WriteFile(path,
            "REGEDIT4\r\n\r\n; kept\r\n"
            "[HKEY_CURRENT_USER\\Software\\A]\r\n"
            "\"dup\"=\"first\"\r\n"
            "\"bin\"=hex:01,\\\r\n"
            "  02,\\\n"
            "  03\r\n"
            "\"keep\"=\"x\"\n"
            "[HKEY_CURRENT_USER\\Software\\B]\r\n"
            "\"bin\"=\"other key\"\r\n"
            "[HKEY_CURRENT_USER\\Software\\A]\r\n"
            "\"dup\"=\"second\"\r\n"
            "\"tail\"=dword:1");
  Regedit4Registry registry(path.string());

  EXPECT_EQ(Delete(registry, "Software\\A", "BIN"), kErrorSuccess);
  EXPECT_EQ(Delete(registry, "Software\\A", "dup"), kErrorSuccess);
  EXPECT_EQ(Delete(registry, "Software\\A", "tail"), kErrorSuccess);
  EXPECT_EQ(ReadFile(path),
            "REGEDIT4\r\n\r\n; kept\r\n"
            "[HKEY_CURRENT_USER\\Software\\A]\r\n"
            "\"keep\"=\"x\"\n"
            "[HKEY_CURRENT_USER\\Software\\B]\r\n"
            "\"bin\"=\"other key\"\r\n"
            "[HKEY_CURRENT_USER\\Software\\A]\r\n");

  const ino_t before = Inode(path);
  EXPECT_EQ(Delete(registry, "Software\\A", "dup"), kErrorFileNotFound);
  EXPECT_EQ(Inode(path), before);
}

TEST(Regedit4Registry, TheNewerHeaderInUtf8IsReadAndWrittenAlike) {
  TempDir dir;
  const auto path = dir / "r.reg";
  WriteFile(path,
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\T]\n"
            "\"url1\"=\"http://a/\"\n\"url2\"=\"http://b/\"\n");
  Regedit4Registry registry(path.string());
  EXPECT_EQ(GetFromRegistry(registry, kHkeyCurrentUser, "Software\\T", "url2", "-"), "http://b/");
  EXPECT_EQ(Delete(registry, "Software\\T", "url1"), kErrorSuccess);
  EXPECT_EQ(ReadFile(path),
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\T]\n"
            "\"url2\"=\"http://b/\"\n");
}

TEST(Regedit4Registry, DamagedFileAnswersWhatItCanAndIsNeverRewritten) {
  const std::string good = "[HKEY_CURRENT_USER\\Software\\T]\n\"good\"=\"yes\"\n";
  const std::vector<std::string> files = {
      good,  // no header
      "REGEDIT4\n" + good + "\"bad\"=\"open\n",
      "REGEDIT4\n" + good + "\"bad\"=hex:01,zz\n",
      "REGEDIT4\n" + good + "\"bad\"=dword:123456789\n",
      "REGEDIT4\n" + good + Bytes("\"bad\"=\"a\0b\"\n"),
      "REGEDIT4\n" + good + "\"bad\"=\"x\" trailing\n",
      "REGEDIT4\n" + good + "\"bad\"=\"\\q\"\n",
      "REGEDIT4\n" + good + "not a value\n",
      "REGEDIT4\n" + good + "[HKEY_NOWHERE\\Software\\T]\n\"good\"=\"no\"\n",
      "REGEDIT4\n" + good + "[-HKEY_CURRENT_USER\\Software\\T]\n\"good\"=\"no\"\n",
      "REGEDIT4\n" + good + "\"bad\"=hex:01,\\\n; cut short\n",
      "REGEDIT4\n" + good + "\"bad\"=hex:01,\\",
  };
  for (const std::string& contents : files) {
    SCOPED_TRACE(contents);
    TempDir dir;
    const auto path = dir / "r.reg";
    WriteFile(path, contents);
    const ino_t before = Inode(path);
    Regedit4Registry registry(path.string());

    EXPECT_EQ(GetFromRegistry(registry, kHkeyCurrentUser, "Software\\T", "good", ""), "yes");
    EXPECT_EQ(Query(registry, "Software\\T", "bad").result, kErrorFileNotFound);
    EXPECT_EQ(Delete(registry, "Software\\T", "good"), kErrorAccessDenied);
    EXPECT_EQ(Delete(registry, "Software\\T", "bad"), kErrorAccessDenied);
    EXPECT_EQ(ReadFile(path), contents);
    EXPECT_EQ(Inode(path), before);
  }
}

TEST(Regedit4Registry, DefaultsAnswerWhereTheFileIsSilent) {
  TempDir dir;
  const auto path = dir / "r.reg";
  Regedit4Registry registry(path.string(), {{kShellFoldersKey, "AppData", "/home/u/.config"}});

  // No file: the key and the default are there all the same, and nothing is written.
  EXPECT_EQ(GetShellFolder(registry, "appdata"), "/home/u/.config");
  EXPECT_EQ(GetShellFolder(registry, "Cache"), "");
  EXPECT_EQ(Delete(registry, kShellFoldersKey, "AppData"), kErrorAccessDenied);
  EXPECT_FALSE(std::filesystem::exists(path));

  WriteFile(path, "REGEDIT4\n[HKEY_CURRENT_USER\\" + std::string(kShellFoldersKey) +
                      "]\n\"AppData\"=\"/elsewhere\"\n");
  EXPECT_EQ(GetShellFolder(registry, "AppData"), "/elsewhere");
  EXPECT_EQ(Delete(registry, kShellFoldersKey, "AppData"), kErrorSuccess);
  EXPECT_EQ(GetShellFolder(registry, "AppData"), "/home/u/.config");
}

TEST(Regedit4Registry, ReadsTheFileAfreshAndKnowsItsHandles) {
  TempDir dir;
  const auto path = dir / "r.reg";
  Regedit4Registry registry(path.string());
  RegKey key = 0;
  EXPECT_EQ(registry.OpenKey(kHkeyCurrentUser, "Software\\T", kKeyAllAccess, &key),
            kErrorFileNotFound);

  WriteFile(path, "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\T]\n\"v\"=\"1\"\n");
  ASSERT_EQ(registry.OpenKey(kHkeyCurrentUser, "Software\\T", kKeyAllAccess, &key), kErrorSuccess);
  WriteFile(path, "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\T]\n\"v\"=\"2\"\n");
  EXPECT_EQ(GetFromRegistry(registry, kHkeyCurrentUser, "Software\\T", "v", ""), "2");

  std::uint32_t size = 0;
  EXPECT_EQ(registry.QueryValue(key + 100, "v", nullptr, nullptr, &size), kErrorInvalidHandle);
  EXPECT_EQ(registry.DeleteValue(key + 100, "v"), kErrorInvalidHandle);
  EXPECT_EQ(registry.CloseKey(key + 100), kErrorInvalidHandle);
  EXPECT_EQ(registry.CloseKey(key), kErrorSuccess);
}

}  // namespace
}  // namespace larkspur
