#pragma once
// The URL history on Windows: the system's history object, made for each call and told to
// clear itself.
#include "platform/url_history.h"

namespace larkspur {

class ComUrlHistory final : public UrlHistoryPort {
 public:
  // A history made for a preview clears nothing; it answers false (not supported) under Wine,
  // whose object cannot clear, and true elsewhere.
  explicit ComUrlHistory(bool preview = false) : preview_(preview) {}

  // Wine makes the object but answers E_NOTIMPL, so there a run's answer is always false.
  bool ClearHistory(StayReason* why_not = nullptr) override;

 private:
  bool preview_;
};

}  // namespace larkspur
