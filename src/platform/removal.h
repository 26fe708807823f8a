#pragma once
// What one deletion did, as the store that made it saw it, and the preview that answers every
// deletion as a run would without changing anything.
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/run_tally.h"

namespace larkspur {

struct Removal {
  enum class Outcome {
    kRemoved,  // it was there and is gone now (in a preview: would be)
    kAbsent,   // there was nothing of that name to remove
    kStayed,   // it is there and stays, for `why`
  };
  Outcome outcome = Outcome::kAbsent;
  std::uint64_t bytes = 0;  // the disk space freed: allocated size, with the file's last name
  StayReason why = StayReason::kAccessRefused;

  static Removal Removed(std::uint64_t bytes) { return {Outcome::kRemoved, bytes, {}}; }
  static Removal Absent() { return {}; }
  static Removal Kept(StayReason why) { return {Outcome::kStayed, 0, why}; }

  bool WasRemoved() const { return outcome == Outcome::kRemoved; }
  // Nothing of that name is left, whether this removal took it or it was not there.
  bool Gone() const { return outcome != Outcome::kStayed; }
};

// A removal and the name it was asked for, where one request may remove several things.
struct NamedRemoval {
  std::string name;
  Removal removal;
};

// A preview's memory of what it has answered as removed. Stores made for a preview change
// nothing; they share one ledger so that a thing reached twice (a cache entry's local file,
// then the sweep of the cache folder) is counted once, and a file answered as removed is
// absent afterwards, as it would be in a run.
//
// Each name removed is an item; a file's disk space is counted with the removal of its last
// name, which is when a run frees it. A file with hard links elsewhere frees nothing.
class PreviewLedger {
 public:
  // `identity`: what the thing is, not the path that reached it (for a name: its folder's
  // identity and the name; for a file: device and file number). True the first time.
  bool Claim(const std::string& identity) { return claimed_.insert(identity).second; }
  bool Claimed(const std::string& identity) const { return claimed_.count(identity) > 0; }

  // One more name of `file` answered as removed: how many of its names are gone now.
  std::uint64_t NameGone(const std::string& file) { return ++names_gone_[file]; }

 private:
  std::set<std::string> claimed_;
  std::map<std::string, std::uint64_t> names_gone_;
};

}  // namespace larkspur
