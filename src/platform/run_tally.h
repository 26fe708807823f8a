#pragma once
// What one clean-up run removed and what it left, counted where the deleting happens.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace larkspur {

// Why something that was meant to go stayed.
enum class StayReason : std::size_t {
  kInUse,           // another program holds it open or locked
  kAccessRefused,   // the system refused (permissions, read-only folder)
  kBrowserRunning,  // skipped because the browser has the profile open
  kNotFound,        // the store or profile it lives in could not be found or read
  kRefused,         // not touched for safety: a link, another mount, a folder not a profile
  kNotSupported,    // the system does not do it (Wine's URL history cannot be cleared)
};
inline constexpr std::size_t kStayReasonCount = 6;

struct RunTally {
  std::uint64_t erased_items = 0;
  std::uint64_t erased_bytes = 0;
  std::array<std::uint64_t, kStayReasonCount> stayed{};

  void Erased(std::uint64_t bytes) {
    ++erased_items;
    erased_bytes += bytes;
  }
  void Stayed(StayReason why, std::uint64_t count = 1) {
    stayed[static_cast<std::size_t>(why)] += count;
  }

  std::uint64_t StayedCount() const {
    std::uint64_t total = 0;
    for (std::uint64_t count : stayed)
      total += count;
    return total;
  }
  bool Empty() const { return erased_items == 0 && StayedCount() == 0; }

  RunTally& operator+=(const RunTally& other) {
    erased_items += other.erased_items;
    erased_bytes += other.erased_bytes;
    for (std::size_t reason = 0; reason < kStayReasonCount; ++reason)
      stayed[reason] += other.stayed[reason];
    return *this;
  }
};

// What one item of a run did; `item` is its command-line name, e.g. "firefox-cookies".
struct ItemTally {
  std::string_view item;
  RunTally tally;
};

}  // namespace larkspur
