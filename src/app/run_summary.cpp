#include "app/run_summary.h"

#include <cstdio>

namespace larkspur {

namespace {

constexpr std::array<const char*, kStayReasonCount> kReasonWords{
    "in use",    "access refused",     "browser running",
    "not found", "refused for safety", "not supported"};

std::string Plural(std::uint64_t count, const char* one, const char* many) {
  return GroupedCount(count) + ' ' + (count == 1 ? one : many);
}

// "in use" when one reason explains all, else "2 in use, 1 not found".
std::string Reasons(const RunTally& tally) {
  std::string words;
  std::size_t reasons = 0;
  for (std::size_t reason = 0; reason < kStayReasonCount; ++reason)
    reasons += tally.stayed[reason] > 0;
  for (std::size_t reason = 0; reason < kStayReasonCount; ++reason) {
    if (tally.stayed[reason] == 0)
      continue;
    if (!words.empty())
      words += ", ";
    if (reasons > 1)
      words += GroupedCount(tally.stayed[reason]) + ' ';
    words += kReasonWords[reason];
  }
  return words;
}

}  // namespace

std::string GroupedCount(std::uint64_t count) {
  const std::string digits = std::to_string(count);
  std::string grouped;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0)
      grouped += ',';
    grouped += digits[at];
  }
  return grouped;
}

std::string ByteSize(std::uint64_t bytes, const SizeUnits& units) {
  if (bytes < units.base)
    return Plural(bytes, "byte", "bytes");
  // In tenths of the unit, rounded; moving up a unit when rounding reached a whole next one.
  using Wide = unsigned __int128;
  Wide divisor = units.base;
  std::size_t unit = 0;
  Wide tenths = (Wide{bytes} * 10 + divisor / 2) / divisor;
  while (tenths >= Wide{units.base} * 10 && unit + 1 < units.names.size()) {
    divisor *= units.base;
    ++unit;
    tenths = (Wide{bytes} * 10 + divisor / 2) / divisor;
  }
  return GroupedCount(static_cast<std::uint64_t>(tenths / 10)) + '.' +
         std::to_string(static_cast<unsigned>(tenths % 10)) + ' ' + units.names[unit];
}

std::string_view ReasonWords(StayReason why) {
  return kReasonWords[static_cast<std::size_t>(why)];
}

std::string StayedLine(const std::string& what, StayReason why, bool preview) {
  return std::string(preview ? "would stay (" : "stayed (") + std::string(ReasonWords(why)) +
         "): " + what;
}

std::string SummaryLine(const RunTally& tally, bool preview) {
  if (tally.Empty())
    return "Nothing to erase.";
  std::string line;
  if (tally.erased_items == 0)
    line = preview ? "Nothing would be erased." : "Nothing erased.";
  else
    line = (preview ? "Would erase " : "Erased ") + Plural(tally.erased_items, "item", "items") +
           " (" + ByteSize(tally.erased_bytes) + ").";
  if (const std::uint64_t stayed = tally.StayedCount(); stayed > 0)
    line += ' ' + GroupedCount(stayed) + (preview ? " would stay: " : " stayed: ") +
            Reasons(tally) + '.';
  return line;
}

std::string LogEntry(const std::string& local_time, std::string_view started_by,
                     const std::vector<ItemTally>& items) {
  std::string entry = local_time + ' ' + std::string(started_by) + ": ";
  if (items.empty())
    return entry + "No item ticked.\n";
  RunTally total;
  std::string done;
  for (const ItemTally& item : items) {
    total += item.tally;
    if (item.tally.Empty())
      continue;
    done += (done.empty() ? " " : "; ") + std::string(item.item) + ": ";
    if (item.tally.erased_items > 0)
      done += GroupedCount(item.tally.erased_items) + " erased (" +
              ByteSize(item.tally.erased_bytes) + ')';
    if (item.tally.erased_items > 0 && item.tally.StayedCount() > 0)
      done += ", ";
    if (item.tally.StayedCount() > 0)
      done += GroupedCount(item.tally.StayedCount()) + " stayed (" + Reasons(item.tally) + ')';
  }
  return entry + SummaryLine(total) + done + (done.empty() ? "\n" : ".\n");
}

std::string NextRunTip(int hour, int minute) {
  char text[32];
  std::snprintf(text, sizeof text, "Larkspur: next run at %02d:%02d", hour, minute);
  return text;
}

}  // namespace larkspur
