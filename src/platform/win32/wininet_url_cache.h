#pragma once
// The URL cache on Windows: wininet's enumeration and deletion, passed straight through. The
// caller's buffer is wininet's INTERNET_CACHE_ENTRY_INFOA, and entry names go back to wininet
// byte for byte, so no code-page conversion happens here.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/removal.h"
#include "platform/url_cache.h"

namespace larkspur {

class WininetUrlCache final : public UrlCachePort {
 public:
  // With `preview`, nothing is deleted: an entry answered as deleted is claimed in the ledger,
  // and so is its local file, which a run's deletion takes with it.
  explicit WininetUrlCache(std::shared_ptr<PreviewLedger> preview = nullptr)
      : preview_(std::move(preview)) {}
  ~WininetUrlCache() override;
  WininetUrlCache(const WininetUrlCache&) = delete;
  WininetUrlCache& operator=(const WininetUrlCache&) = delete;

  CacheEnumHandle FindFirstEntry(const char* pattern, void* entry, std::uint32_t* size,
                                 long* error) override;
  bool FindNextEntry(CacheEnumHandle handle, void* entry, std::uint32_t* size,
                     long* error) override;
  bool FindClose(CacheEnumHandle handle) override;
  Removal DeleteEntry(const std::string& url) override;

  // Windows' default enumeration returns content entries only. Wine's returns every kind and
  // matches these patterns case-sensitively, so under Wine they find nothing more.
  std::vector<std::string> ExtraEnumerationPatterns() const override {
    return {"cookie:", "visited:"};
  }

 private:
  // Wine dereferences whatever handle it is given: a null one crashes, a closed one is read
  // after it was freed. Only handles opened here and not yet closed reach wininet.
  std::set<CacheEnumHandle> open_;
  std::shared_ptr<PreviewLedger> preview_;  // null in a real run
};

}  // namespace larkspur
