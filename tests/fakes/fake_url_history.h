#pragma once
// A URL history that counts ClearHistory calls and answers what the test sets.
#include "platform/url_history.h"

namespace larkspur::testing {

class FakeUrlHistory final : public UrlHistoryPort {
 public:
  bool ClearHistory(StayReason* why_not = nullptr) override {
    ++clear_calls;
    if (result)
      visited_urls = 0;
    else if (why_not != nullptr)
      *why_not = why;
    return result;
  }

  bool result = true;  // false: as when the history object cannot be created or refuses
  StayReason why = StayReason::kNotSupported;  // given with a false result
  int clear_calls = 0;
  int visited_urls = 0;  // what a successful ClearHistory empties
};

}  // namespace larkspur::testing
