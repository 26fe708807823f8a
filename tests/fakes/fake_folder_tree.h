#pragma once
// An in-memory folder tree with names in sorted order, a log of what was done to it, and files
// or folders that refuse to go, as files in use do. Hidden files are never listed. A file's
// size is the length of its name.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/folder_tree.h"
#include "platform/path_text.h"

namespace larkspur::testing {

class FakeFolderTree final : public FolderTree {
 public:
  struct Folder {
    std::set<std::string> files;
    std::set<std::string> hidden_files;
    std::map<std::string, Folder> subfolders;
    bool listable = true;
  };

  // Adds a file, creating its folders; "T/S1/b" is file b in folder S1 of root T.
  void AddFile(const std::string& path) { FolderOf(path, true)->files.insert(Leaf(path)); }
  void AddHiddenFile(const std::string& path) {
    FolderOf(path, true)->hidden_files.insert(Leaf(path));
  }
  void AddFolder(const std::string& path) { Walk(path, true); }
  // Hidden and system folders are listed and swept like any other, so here they are no other.
  void AddHiddenFolder(const std::string& path) { AddFolder(path); }
  void MakeUndeletable(const std::string& path) { undeletable_.insert(path); }
  void MakeUnlistable(const std::string& path) { Walk(path, true)->listable = false; }

  bool Exists(const std::string& path) {
    Folder* folder = FolderOf(path, false);
    const std::string leaf = Leaf(path);
    return folder != nullptr && (folder->files.count(leaf) || folder->hidden_files.count(leaf) ||
                                 folder->subfolders.count(leaf));
  }

  // "delete T/a", "remove T/S1", in the order they happened.
  const std::vector<std::string>& log() const { return log_; }

  std::unique_ptr<FolderCursor> Open(const std::string& path) override {
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '/')
      trimmed.pop_back();
    if (!IsAbsolutePath(trimmed) || Walk(trimmed, false) == nullptr)
      return nullptr;
    return std::make_unique<Cursor>(*this, trimmed);
  }

 private:
  class Cursor final : public FolderCursor {
   public:
    Cursor(FakeFolderTree& tree, const std::string& path) : tree_(tree), path_(path + "/") {}

    bool List(FolderListing* listing) override {
      listing->files.clear();
      listing->subfolders.clear();
      Folder* folder = Current();
      if (folder == nullptr || !folder->listable)
        return false;
      listing->files.assign(folder->files.begin(), folder->files.end());
      for (const auto& [name, unused] : folder->subfolders)
        listing->subfolders.push_back(name);
      return true;
    }
    bool Enter(const std::string& name, std::optional<StayReason>* = nullptr) override {
      Folder* folder = Current();
      if (folder == nullptr || folder->subfolders.count(name) == 0)
        return false;
      path_ += name + "/";
      return true;
    }
    bool Leave() override {
      const std::size_t cut = path_.rfind('/', path_.size() - 2);
      path_.resize(cut + 1);
      return true;
    }
    const std::string& Path() const override { return path_; }
    bool MakeArchiveOnly(const std::string&) override { return true; }
    Removal DeleteFile(const std::string& name) override {
      Folder* folder = Current();
      const std::string full = path_ + name;
      if (folder == nullptr || folder->files.count(name) == 0)
        return Removal::Absent();
      if (tree_.undeletable_.count(full) == 1)
        return Removal::Kept(StayReason::kInUse);
      folder->files.erase(name);
      tree_.log_.push_back("delete " + full);
      return Removal::Removed(name.size());
    }
    bool RemoveFolder(const std::string& name) override {
      Folder* folder = Current();
      if (folder == nullptr)
        return false;
      const auto found = folder->subfolders.find(name);
      if (found == folder->subfolders.end())
        return false;
      const Folder& child = found->second;
      if (!child.files.empty() || !child.hidden_files.empty() || !child.subfolders.empty())
        return false;
      folder->subfolders.erase(found);
      tree_.log_.push_back("remove " + path_ + name);
      return true;
    }

   private:
    Folder* Current() { return tree_.Walk(path_.substr(0, path_.size() - 1), false); }

    FakeFolderTree& tree_;
    std::string path_;
  };

  static std::string Leaf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

  Folder* FolderOf(const std::string& path, bool create) {
    return Walk(path.substr(0, path.rfind('/')), create);
  }

  // Folder at an absolute path such as "/T/S1" (on Windows "C:/T/S1", where "C:" is a folder of
  // the top); the empty path is the top.
  Folder* Walk(const std::string& path, bool create) {
    Folder* folder = &top_;
    std::size_t start = 0;
    while (start <= path.size()) {
      const std::size_t slash = path.find('/', start);
      const std::string name = path.substr(start, slash - start);
      if (name.empty() && start == 0) {
        start = 1;
        continue;
      }
      if (name.empty())
        break;
      auto found = folder->subfolders.find(name);
      if (found == folder->subfolders.end()) {
        if (!create)
          return nullptr;
        found = folder->subfolders.emplace(name, Folder{}).first;
      }
      folder = &found->second;
      if (slash == std::string::npos)
        break;
      start = slash + 1;
    }
    return folder;
  }

  Folder top_;
  std::set<std::string> undeletable_;
  std::vector<std::string> log_;
};

}  // namespace larkspur::testing
