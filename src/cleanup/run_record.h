#pragma once
// What a run did, item by item, counted from what the stores answered: everything removed is
// shown on the status line as "-->" and its name, and tallied with its size; what stayed is
// tallied with its reason and told, by name, to whoever listens (the command line prints it).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cleanup/run_notes.h"
#include "cleanup/status_line.h"
#include "platform/removal.h"
#include "platform/run_tally.h"

namespace larkspur {

class RunRecord {
 public:
  using StayedListener = std::function<void(const std::string& what, StayReason why)>;

  // `preview`: nothing is changed, and each "-->" line ends with the size.
  explicit RunRecord(StatusLine& status, bool preview = false)
      : status_(status), preview_(preview) {}

  bool Preview() const { return preview_; }
  // Called with each thing that stays, as it is met.
  void OnStayed(StayedListener listener) { on_stayed_ = std::move(listener); }

  // The counts that follow belong to `item` (its command-line name).
  void StartItem(std::string_view item) { items_.push_back({item, {}}); }

  // What a store answered for `what`: shown and counted when removed, counted and told when it
  // stayed, and nothing when there was nothing to remove.
  void Count(const std::string& what, const Removal& removal);
  // `what` stays for `why` without a store having been asked.
  void Stayed(const std::string& what, StayReason why);

  // The sentences for the user that go with the summary.
  RunNotes& Notes() { return notes_; }
  const RunNotes& Notes() const { return notes_; }

  const std::vector<ItemTally>& Items() const { return items_; }
  RunTally Total() const;
  // Ready for the next run.
  void Clear() {
    items_.clear();
    notes_.Clear();
  }

 private:
  RunTally& Current();

  StatusLine& status_;
  bool preview_;
  StayedListener on_stayed_;
  std::vector<ItemTally> items_;
  RunNotes notes_;
};

}  // namespace larkspur
