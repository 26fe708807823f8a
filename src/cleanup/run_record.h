#pragma once
// What a run did, item by item, counted from what the stores answered: everything removed is
// shown on the status line as "-->" and its name, and tallied with its size; what stayed is
// tallied with its reason.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cleanup/status_line.h"
#include "platform/removal.h"
#include "platform/run_tally.h"

namespace larkspur {

class RunRecord {
 public:
  // `with_sizes`: each "-->" line ends with the size, as a preview lists them.
  explicit RunRecord(StatusLine& status, bool with_sizes = false)
      : status_(status), with_sizes_(with_sizes) {}

  // The counts that follow belong to `item` (its command-line name).
  void StartItem(std::string_view item) { items_.push_back({item, {}}); }

  // What a store answered for `what`: shown and counted when removed, counted when it stayed,
  // and nothing when there was nothing to remove.
  void Count(const std::string& what, const Removal& removal);
  void Stayed(StayReason why, std::uint64_t count = 1) { Current().Stayed(why, count); }

  const std::vector<ItemTally>& Items() const { return items_; }
  RunTally Total() const;
  // Ready for the next run.
  void Clear() { items_.clear(); }

 private:
  RunTally& Current();

  StatusLine& status_;
  bool with_sizes_;
  std::vector<ItemTally> items_;
};

}  // namespace larkspur
