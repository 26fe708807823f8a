#include "cleanup/run_record.h"

namespace larkspur {

void RunRecord::Count(const std::string& what, const Removal& removal) {
  switch (removal.outcome) {
    case Removal::Outcome::kRemoved:
      Current().Erased(removal.bytes);
      status_.SetCaption(ProgressLine(
          with_sizes_ ? what + " (" + std::to_string(removal.bytes) + " bytes)" : what));
      break;
    case Removal::Outcome::kStayed:
      Current().Stayed(removal.why);
      break;
    case Removal::Outcome::kAbsent:
      break;
  }
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
