#pragma once

namespace larkspur {

// The system's URL history object: created, asked to ClearHistory and released on every call.
class UrlHistoryPort {
 public:
  virtual ~UrlHistoryPort() = default;
  // True when the history object was created and reported success. Made for a preview it
  // clears nothing and answers true.
  virtual bool ClearHistory() = 0;
};

}  // namespace larkspur
