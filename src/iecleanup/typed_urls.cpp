#include <string>

#include "iecleanup/ie_history.h"
#include "iecleanup/registry1.h"

namespace larkspur {

// Visits url1 to url100 whatever is missing; a value too long to read is deleted unseen.
void IEHistory::Delete_IETypedUrls() {
  for (int number = 1; number <= kTypedUrlCount; ++number) {
    const std::string name = "url" + std::to_string(number);
    const std::string url =
        GetFromRegistry(ports_.registry, kHkeyCurrentUser, kTypedUrlsKey, name, "");
    if (!url.empty())
      Label5_.SetCaption(ProgressLine(url));
    DeleteFromRegistry(ports_.registry, kHkeyCurrentUser, kTypedUrlsKey, name);
  }
}

}  // namespace larkspur
