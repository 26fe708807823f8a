#include "cleanup/folder_sweep.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/controls.h"
#include "fakes/fake_folder_tree.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FakeFolderTree;

// Every text the status line was given, in order.
struct RecordingStatus final : StatusLine {
  void SetCaption(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// The fake's paths are absolute on every platform: "/T" here, "C:/T" on Windows.
#ifdef _WIN32
const std::string kRoot = "C:";
#else
const std::string kRoot;
#endif
std::string At(const std::string& path) {
  return kRoot + path;
}

TEST(FolderSweepOrder, DepthFirstWithSubfoldersRemovedAfterAllAreSwept) {
  FakeFolderTree tree;
  tree.AddFile(At("/T/a"));
  tree.AddFile(At("/T/S1/b"));
  tree.AddFolder(At("/T/S1/S1a"));
  tree.AddFile(At("/T/S2/c"));
  RecordingStatus status;
  RunRecord record(status);

  SweepFolder(tree, record, At("/T"));

  EXPECT_THAT(tree.log(), ElementsAre("delete " + At("/T/a"), "delete " + At("/T/S1/b"),
                                      "remove " + At("/T/S1/S1a"), "delete " + At("/T/S2/c"),
                                      "remove " + At("/T/S1"), "remove " + At("/T/S2")));
  EXPECT_THAT(status.texts,
              ElementsAre("-->" + At("/T/a"), "-->" + At("/T/S1/b"), "-->" + At("/T/S2/c")));
  EXPECT_TRUE(tree.Exists(At("/T")));
}

TEST(FolderSweepFailures, WhatCannotGoStaysAndTheRestIsSwept) {
  FakeFolderTree tree;
  tree.AddFile(At("/T/S1/in-use"));
  tree.AddFile(At("/T/S1/plain"));
  tree.AddHiddenFile(At("/T/S2/desktop.ini"));
  tree.AddFile(At("/T/S2/plain"));
  tree.AddFile(At("/T/S3/unlistable-file"));
  tree.MakeUnlistable(At("/T/S3"));
  tree.AddFile(At("/T/S4/last"));
  tree.MakeUndeletable(At("/T/S1/in-use"));
  RecordingStatus status;
  RunRecord record(status);
  std::vector<std::string> stayed;
  record.OnStayed([&stayed](const std::string& what, StayReason why) {
    stayed.push_back((why == StayReason::kInUse ? "in use: " : "access refused: ") + what);
  });

  SweepFolder(tree, record, At("/T/"));

  // Not shown, since it is still there; its folder stays, and so does the hidden file's.
  EXPECT_TRUE(tree.Exists(At("/T/S1/in-use")));
  EXPECT_TRUE(tree.Exists(At("/T/S2/desktop.ini")));
  EXPECT_TRUE(tree.Exists(At("/T/S3/unlistable-file")));
  EXPECT_FALSE(tree.Exists(At("/T/S1/plain")));
  EXPECT_FALSE(tree.Exists(At("/T/S2/plain")));
  EXPECT_FALSE(tree.Exists(At("/T/S4")));
  EXPECT_THAT(status.texts, ElementsAre("-->" + At("/T/S1/plain"), "-->" + At("/T/S2/plain"),
                                        "-->" + At("/T/S4/last")));
  // Counted as the tree answered: a fake file's size is its name's length.
  EXPECT_EQ(record.Total().erased_items, 3u);
  EXPECT_EQ(record.Total().erased_bytes, 14u);
  EXPECT_EQ(record.Total().stayed[0], 1u) << "in use";
  // The folder that could not be listed stays with what it holds, named and counted.
  EXPECT_EQ(record.Total().stayed[static_cast<std::size_t>(StayReason::kAccessRefused)], 1u);
  EXPECT_THAT(stayed,
              ElementsAre("in use: " + At("/T/S1/in-use"), "access refused: " + At("/T/S3/")));
}

TEST(FolderSweepFailures, PathsThatNameNoFolderDeleteNothing) {
  FakeFolderTree tree;
  tree.AddFile(At("/T/a"));
  RecordingStatus status;
  RunRecord record(status);
  for (const std::string& path :
       {std::string(), std::string("T"), std::string("relative/T"), At("/missing")})
    SweepFolder(tree, record, path);
  EXPECT_TRUE(tree.log().empty());
  EXPECT_TRUE(status.texts.empty());
}

}  // namespace
}  // namespace larkspur
