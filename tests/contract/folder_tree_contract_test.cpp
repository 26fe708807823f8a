// What the sweep relies on from every folder tree: hidden and system files are not listed and
// stay, while hidden and system folders (where Windows keeps its caches) are listed, entered and
// emptied. Another adapter is one more harness and one more line in kAdapters.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cleanup/folder_sweep.h"
#include "fakes/fake_folder_tree.h"
#include "platform/folder_tree.h"
#include "platform/path_text.h"
#include "support/native_ports.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using larkspur::FolderListing;
using larkspur::FolderTree;
using ::testing::UnorderedElementsAre;

class FolderTreeHarness {
 public:
  virtual ~FolderTreeHarness() = default;
  virtual FolderTree& tree() = 0;
  // The folder the tests work in, absolute.
  virtual std::string Root() = 0;
  // `relative` is below Root(), '/'-separated; hidden means hidden and system on Windows and a
  // leading dot on Linux (where the name comes from Hidden()).
  virtual void AddFile(const std::string& relative, bool hidden) = 0;
  virtual void AddFolder(const std::string& relative, bool hidden) = 0;
  virtual bool Exists(const std::string& relative) = 0;
  virtual std::string Hidden(const std::string& name) const { return name; }
  // Read-only on Windows (where a folder keeps hidden and system), mode 0555 on Linux.
  virtual void MakeReadOnly(const std::string&) {}
  // Read-only, hidden and system on Windows, the mode on Linux.
  virtual unsigned Attributes(const std::string&) { return 0; }
};

class FakeHarness : public FolderTreeHarness {
 public:
  FolderTree& tree() override { return tree_; }
#ifdef _WIN32
  std::string Root() override {
    return "C:/T";
  }
#else
  std::string Root() override {
    return "/T";
  }
#endif
  void AddFile(const std::string& relative, bool hidden) override {
    hidden ? tree_.AddHiddenFile(Root() + "/" + relative) : tree_.AddFile(Root() + "/" + relative);
  }
  void AddFolder(const std::string& relative, bool hidden) override {
    hidden ? tree_.AddHiddenFolder(Root() + "/" + relative)
           : tree_.AddFolder(Root() + "/" + relative);
  }
  bool Exists(const std::string& relative) override {
    return tree_.Exists(Root() + "/" + relative);
  }

 private:
  larkspur::testing::FakeFolderTree tree_;
};

class NativeHarness : public FolderTreeHarness {
 public:
  NativeHarness() { fs::create_directories(home_); }
  FolderTree& tree() override { return *tree_; }
  std::string Root() override { return larkspur::Utf8FromPath(dir_.path()); }
  void AddFile(const std::string& relative, bool hidden) override {
    larkspur::testing::WriteFile(dir_ / relative, "x");
    if (hidden)
      Hide(dir_ / relative);
  }
  void AddFolder(const std::string& relative, bool hidden) override {
    fs::create_directories(dir_ / relative);
    if (hidden)
      Hide(dir_ / relative);
  }
  bool Exists(const std::string& relative) override {
    std::error_code ignored;
    return fs::exists(dir_ / relative, ignored);
  }
#ifdef _WIN32
  void MakeReadOnly(const std::string& relative) override {
    const fs::path path = dir_ / relative;
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(),
                                     ::GetFileAttributesW(path.c_str()) | FILE_ATTRIBUTE_READONLY));
  }
  unsigned Attributes(const std::string& relative) override {
    return ::GetFileAttributesW((dir_ / relative).c_str()) &
           (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  }
#else
  std::string Hidden(const std::string& name) const override {
    return "." + name;
  }
  void MakeReadOnly(const std::string& relative) override {
    fs::permissions(dir_ / relative, fs::perms(0555));
  }
  unsigned Attributes(const std::string& relative) override {
    return static_cast<unsigned>(fs::status(dir_ / relative).permissions());
  }
#endif

 private:
  static void Hide([[maybe_unused]] const fs::path& path) {
#ifdef _WIN32
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
#endif
  }

  larkspur::testing::TempDir dir_;
  // Beside the working folder, so that it is protected without holding it.
  fs::path home_ = fs::path(dir_.path()).concat("-home");
  std::unique_ptr<FolderTree> tree_ = larkspur::testing::NativeFolderTree(home_.string());
};

struct Adapter {
  const char* name;
  std::function<std::unique_ptr<FolderTreeHarness>()> make;
};

const Adapter kAdapters[] = {
    {"Fake", [] { return std::make_unique<FakeHarness>(); }},
    {"Native", [] { return std::make_unique<NativeHarness>(); }},
};

void PrintTo(const Adapter& adapter, std::ostream* out) {
  *out << adapter.name;
}

struct NoStatus final : larkspur::StatusLine {
  void SetCaption(const std::string&) override {}
};

class FolderTreeContract : public ::testing::TestWithParam<Adapter> {
 protected:
  std::unique_ptr<FolderTreeHarness> harness_ = GetParam().make();
  FolderTreeHarness& h_ = *harness_;
};

TEST_P(FolderTreeContract, HiddenFoldersAreListedAndEnteredHiddenFilesAreNot) {
  const std::string cache = h_.Hidden("Content.IE5");
  h_.AddFile("plain.htm", false);
  h_.AddFile(h_.Hidden("desktop.ini"), true);
  h_.AddFolder("Low", false);
  h_.AddFile(cache + "/page.htm", false);
  h_.AddFile(cache + "/" + h_.Hidden("index.dat"), true);

  const auto cursor = h_.tree().Open(h_.Root());
  ASSERT_TRUE(cursor);
  FolderListing listing;
  ASSERT_TRUE(cursor->List(&listing));
  EXPECT_THAT(listing.files, UnorderedElementsAre("plain.htm"));
  EXPECT_THAT(listing.subfolders, UnorderedElementsAre(cache, "Low"));
  ASSERT_TRUE(cursor->Enter(cache));
  ASSERT_TRUE(cursor->List(&listing));
  EXPECT_THAT(listing.files, UnorderedElementsAre("page.htm"));
  EXPECT_TRUE(listing.subfolders.empty());
}

// Laid out as Windows 10 lays out INetCache, History and INetCookies.
TEST_P(FolderTreeContract, SweepEmptiesHiddenFoldersAndKeepsHiddenFiles) {
  const std::string ie = h_.Hidden("IE");
  const std::string history = h_.Hidden("History.IE5");
  const std::string low = h_.Hidden("Low");
  const std::string kept = h_.Hidden("desktop.ini");
  h_.AddFile("top.htm", false);
  h_.AddFile(kept, true);
  h_.AddFolder(ie, true);
  h_.AddFolder(ie + "/X1Y2Z3", true);
  h_.AddFile(ie + "/X1Y2Z3/page[1].htm", false);
  h_.AddFolder(low, true);
  h_.AddFolder(low + "/" + ie, true);
  h_.AddFile(low + "/" + ie + "/logo.png", false);
  h_.AddFolder(history, true);
  h_.AddFolder(history + "/" + h_.Hidden("MSHist012026120720261208"), true);
  h_.AddFile(history + "/" + h_.Hidden("MSHist012026120720261208") + "/visits.dat", false);
  h_.AddFile(history + "/" + kept, true);
  h_.MakeReadOnly(history);
  h_.MakeReadOnly("");
  const unsigned history_attributes = h_.Attributes(history);
  const unsigned root_attributes = h_.Attributes("");
  NoStatus status;
  larkspur::RunRecord record(status);

  larkspur::SweepFolder(h_.tree(), record, h_.Root());

  EXPECT_EQ(record.Total().erased_items, 4u);

  EXPECT_FALSE(h_.Exists("top.htm"));
  EXPECT_FALSE(h_.Exists(ie));
  EXPECT_FALSE(h_.Exists(low));
  EXPECT_FALSE(h_.Exists(history + "/" + h_.Hidden("MSHist012026120720261208")));
  // Hidden files stay, and so does the folder that holds one.
  EXPECT_TRUE(h_.Exists(kept));
  EXPECT_TRUE(h_.Exists(history + "/" + kept));
  // Folders that stay keep their attributes: what deleting needed was changed for a while only.
  EXPECT_EQ(h_.Attributes(history), history_attributes);
  EXPECT_EQ(h_.Attributes(""), root_attributes);
}

// Preview and run count alike: every name removed is an item, hard links too, and the bytes are
// the disk space freed, once a file, when its last name goes. A file resized to 100 MB without
// being written takes no space (under Wine the unix file is just as sparse).
TEST(FolderTreeDiskSpace, PreviewAndRunCountEveryNameAndTheSpaceFreed) {
  larkspur::testing::TempDir dir;
  const fs::path swept = dir / "swept";
  fs::create_directories(swept / "sub");
  larkspur::testing::WriteFile(swept / "pair", std::string(10000, 'p'));
  fs::create_hard_link(swept / "pair", swept / "sub" / "pair-again");
  larkspur::testing::WriteFile(swept / "shared", std::string(10000, 's'));
  fs::create_hard_link(swept / "shared", dir / "shared-outside");
  larkspur::testing::WriteFile(swept / "sparse", "");
  fs::resize_file(swept / "sparse", 100'000'000);
  const std::string home = larkspur::Utf8FromPath(dir / "home");

  const auto sweep = [&](std::shared_ptr<larkspur::PreviewLedger> preview) {
    NoStatus status;
    larkspur::RunRecord record(status);
    const auto tree = larkspur::testing::NativeFolderTree(home, preview);
    larkspur::SweepFolder(*tree, record, larkspur::Utf8FromPath(swept));
    return record.Total();
  };
  const larkspur::RunTally preview = sweep(std::make_shared<larkspur::PreviewLedger>());
  EXPECT_TRUE(fs::exists(swept / "sub" / "pair-again"));
  const larkspur::RunTally run = sweep(nullptr);
  EXPECT_FALSE(fs::exists(swept / "sub"));
  EXPECT_TRUE(fs::exists(dir / "shared-outside"));

  EXPECT_EQ(run.erased_items, 4u);
  EXPECT_EQ(preview.erased_items, run.erased_items);
  EXPECT_EQ(preview.erased_bytes, run.erased_bytes);
  // "pair" once (10,000 bytes in whole blocks), "shared" not at all, "sparse" next to nothing.
  EXPECT_GE(run.erased_bytes, 10'000u);
  EXPECT_LT(run.erased_bytes, 100'000u);
}

INSTANTIATE_TEST_SUITE_P(Adapters, FolderTreeContract, ::testing::ValuesIn(kAdapters),
                         [](const ::testing::TestParamInfo<Adapter>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
