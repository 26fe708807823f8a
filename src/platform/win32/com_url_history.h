#pragma once
// The URL history on Windows: the system's history object, made for each call and told to
// clear itself.
#include "platform/url_history.h"

namespace larkspur {

class ComUrlHistory final : public UrlHistoryPort {
 public:
  ComUrlHistory() = default;

  // Wine makes the object but answers E_NOTIMPL, so there this is always false.
  bool ClearHistory() override;
};

}  // namespace larkspur
