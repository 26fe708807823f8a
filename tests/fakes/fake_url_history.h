#pragma once
// A URL history that counts ClearHistory calls and answers what the test sets.
#include "platform/url_history.h"

namespace larkspur::testing {

class FakeUrlHistory final : public UrlHistoryPort {
 public:
  bool ClearHistory() override {
    ++clear_calls;
    if (result)
      visited_urls = 0;
    return result;
  }

  bool result = true;  // false: as when the history object cannot be created or refuses
  int clear_calls = 0;
  int visited_urls = 0;  // what a successful ClearHistory empties
};

}  // namespace larkspur::testing
