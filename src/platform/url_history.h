#pragma once

#include "platform/run_tally.h"

namespace larkspur {

// The system's URL history object: created, asked to ClearHistory and released on every call.
class UrlHistoryPort {
 public:
  virtual ~UrlHistoryPort() = default;
  // True when the history object was created and reported success; otherwise `why_not` (when
  // given) says why the history stays. Made for a preview it clears nothing and answers as a
  // run would where that can be known without clearing, else true.
  virtual bool ClearHistory(StayReason* why_not = nullptr) = 0;
};

}  // namespace larkspur
