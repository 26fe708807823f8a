#include "iecleanup/folder_sweep.h"

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

TEST(FolderSweepOrder, DepthFirstWithSubfoldersRemovedAfterAllAreSwept) {
  FakeFolderTree tree;
  tree.AddFile("/T/a");
  tree.AddFile("/T/S1/b");
  tree.AddFolder("/T/S1/S1a");
  tree.AddFile("/T/S2/c");
  RecordingStatus status;

  SweepFolder(tree, status, "/T");

  EXPECT_THAT(tree.log(), ElementsAre("delete /T/a", "delete /T/S1/b", "remove /T/S1/S1a",
                                      "delete /T/S2/c", "remove /T/S1", "remove /T/S2"));
  EXPECT_THAT(status.texts, ElementsAre("-->/T/a", "-->/T/S1/b", "-->/T/S2/c"));
  EXPECT_TRUE(tree.Exists("/T"));
}

TEST(FolderSweepFailures, WhatCannotGoStaysAndTheRestIsSwept) {
  FakeFolderTree tree;
  tree.AddFile("/T/S1/in-use");
  tree.AddFile("/T/S1/plain");
  tree.AddHiddenFile("/T/S2/desktop.ini");
  tree.AddFile("/T/S2/plain");
  tree.AddFile("/T/S3/unlistable-file");
  tree.MakeUnlistable("/T/S3");
  tree.AddFile("/T/S4/last");
  tree.MakeUndeletable("/T/S1/in-use");
  RecordingStatus status;

  SweepFolder(tree, status, "/T/");

  // Not shown, since it is still there; its folder stays, and so does the hidden file's.
  EXPECT_TRUE(tree.Exists("/T/S1/in-use"));
  EXPECT_TRUE(tree.Exists("/T/S2/desktop.ini"));
  EXPECT_TRUE(tree.Exists("/T/S3/unlistable-file"));
  EXPECT_FALSE(tree.Exists("/T/S1/plain"));
  EXPECT_FALSE(tree.Exists("/T/S2/plain"));
  EXPECT_FALSE(tree.Exists("/T/S4"));
  EXPECT_THAT(status.texts, ElementsAre("-->/T/S1/plain", "-->/T/S2/plain", "-->/T/S4/last"));
}

TEST(FolderSweepFailures, PathsThatNameNoFolderDeleteNothing) {
  FakeFolderTree tree;
  tree.AddFile("/T/a");
  RecordingStatus status;
  for (const char* path : {"", "T", "relative/T", "/missing"})
    SweepFolder(tree, status, path);
  EXPECT_TRUE(tree.log().empty());
  EXPECT_TRUE(status.texts.empty());
}

}  // namespace
}  // namespace larkspur
