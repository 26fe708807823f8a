#pragma once
// The files that stand in for the Windows stores: read without blocking and within a bound,
// changed under a lock that serialises every read-modify-write between processes, and replaced
// atomically.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/posix/unique_fd.h"

namespace larkspur {

// A store larger than this is damaged: what was read is answered, nothing is rewritten.
inline constexpr std::size_t kMaxStoreSize = std::size_t{64} << 20;

struct StoreText {
  std::string text;  // as far as it could be read
  // Not a regular file, larger than kMaxStoreSize, or unreadable: never to be rewritten.
  bool damaged = false;
};

// The store at `path`, followed through links; nullopt when there is none. A FIFO, device or
// folder there is a damaged store and is not read.
std::optional<StoreText> ReadStore(const std::string& path);

// One read-modify-write of a store. While it lives, other processes that lock the same store
// wait; the contents are read after the lock is taken. A store that is a link is locked, read
// and replaced at its target, so the link stays.
class LockedStore {
 public:
  explicit LockedStore(const std::string& path);

  // nullopt: there is no store at the path.
  const std::optional<StoreText>& contents() const { return contents_; }

  // Replaces the store's contents atomically, first removing temporary files that an earlier,
  // interrupted replacement of it left behind. False when the store is missing or damaged, or
  // nothing changed.
  bool Replace(const std::string& contents);

 private:
  UniqueFd fd_;
  std::string target_;  // the path of the file locked, links resolved
  std::optional<StoreText> contents_;
};

// Tells one version of a store from another without reading it: writing or replacing the file
// changes it.
struct StoreStamp {
  dev_t device;
  ino_t inode;
  off_t size;
  std::int64_t modified_ns;
  bool operator==(const StoreStamp&) const = default;
};
// nullopt when there is nothing at the path.
std::optional<StoreStamp> StampOf(const std::string& path);

// Replaces `path` by `contents` through a temporary file in the same folder and a rename, so a
// reader sees either the old or the new file, never half of one. False when nothing changed.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

}  // namespace larkspur
