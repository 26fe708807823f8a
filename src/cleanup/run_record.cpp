#include "cleanup/run_record.h"

namespace larkspur {

void RunRecord::Count(const std::string& what, const Removal& removal) {
  switch (removal.outcome) {
    case Removal::Outcome::kRemoved:
      Current().Erased(removal.bytes);
      status_.SetCaption(
          ProgressLine(preview_ ? what + " (" + std::to_string(removal.bytes) + " bytes)" : what));
      break;
    case Removal::Outcome::kStayed:
      Stayed(what, removal.why);
      break;
    case Removal::Outcome::kAbsent:
      break;
  }
}

void RunRecord::Stayed(const std::string& what, StayReason why) {
  Current().Stayed(why);
  if (on_stayed_)
    on_stayed_(what, why);
}

RunTally RunRecord::Total() const {
  RunTally total;
  for (const ItemTally& item : items_)
    total += item.tally;
  return total;
}

// Counts outside any item (a caller that runs one step on its own) still add up.
RunTally& RunRecord::Current() {
  if (items_.empty())
    items_.push_back({"", {}});
  return items_.back().tally;
}

}  // namespace larkspur
