#pragma once
// What the user can do about what stayed, and where a browser's data was looked for: one short
// sentence per cause, each said once, in a fixed order whatever order the run met them in.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace larkspur {

class RunNotes {
 public:
  // "No Firefox profile found in …": said once; counted every time, so that a run can tell
  // whether every ticked item found nothing of its browser.
  void NotFound(const std::string& sentence);
  std::size_t NotFoundReports() const { return not_found_reports_; }

  // `browser` ("Firefox") is open and keeps `what` ("cookies"); `rank` orders the things kept
  // in the sentence: "Close Firefox to clear its history, cookies and form history."
  void BrowserRunning(std::string_view browser, int rank, std::string_view what);

  // Any other sentence: a profile skipped and why, bookmarks that could not be saved.
  void Other(const std::string& sentence);

  // The sentences: where nothing was found, what to close, then the rest.
  std::vector<std::string> Sentences() const;
  bool Empty() const { return not_found_.empty() && running_.empty() && other_.empty(); }
  void Clear() { *this = RunNotes(); }

 private:
  struct Kept {
    int rank;
    std::string what;
  };
  struct Running {
    std::string browser;
    std::vector<Kept> kept;  // by rank
  };

  std::vector<std::string> not_found_;
  std::size_t not_found_reports_ = 0;
  std::vector<Running> running_;
  std::vector<std::string> other_;
};

// "A", "A or B", "A, B or C".
std::string EitherOf(const std::vector<std::string>& places);

// The sentences joined by spaces.
std::string JoinedNotes(const std::vector<std::string>& sentences);

}  // namespace larkspur
