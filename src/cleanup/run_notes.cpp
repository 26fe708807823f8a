#include "cleanup/run_notes.h"

#include <algorithm>

namespace larkspur {

namespace {

void AddOnce(std::vector<std::string>& sentences, const std::string& sentence) {
  if (std::find(sentences.begin(), sentences.end(), sentence) == sentences.end())
    sentences.push_back(sentence);
}

// "a", "a and b", "a, b and c" (with `last_joint` " and ").
std::string Listed(const std::vector<std::string>& parts, const char* last_joint) {
  std::string text;
  for (std::size_t index = 0; index < parts.size(); ++index) {
    if (index > 0)
      text += index + 1 == parts.size() ? last_joint : ", ";
    text += parts[index];
  }
  return text;
}

}  // namespace

void RunNotes::NotFound(const std::string& sentence) {
  ++not_found_reports_;
  AddOnce(not_found_, sentence);
}

void RunNotes::BrowserRunning(std::string_view browser, int rank, std::string_view what) {
  auto running = std::find_if(running_.begin(), running_.end(),
                              [&](const Running& each) { return each.browser == browser; });
  if (running == running_.end())
    running = running_.insert(running_.end(), {std::string(browser), {}});
  std::vector<Kept>& kept = running->kept;
  if (std::any_of(kept.begin(), kept.end(), [&](const Kept& each) { return each.what == what; }))
    return;
  const auto at =
      std::find_if(kept.begin(), kept.end(), [rank](const Kept& each) { return each.rank > rank; });
  kept.insert(at, {rank, std::string(what)});
}

void RunNotes::Other(const std::string& sentence) {
  AddOnce(other_, sentence);
}

std::vector<std::string> RunNotes::Sentences() const {
  std::vector<std::string> sentences = not_found_;
  for (const Running& running : running_) {
    std::vector<std::string> parts;
    for (const Kept& kept : running.kept)
      parts.push_back(kept.what);
    sentences.push_back("Close " + running.browser + " to clear its " + Listed(parts, " and ") +
                        '.');
  }
  sentences.insert(sentences.end(), other_.begin(), other_.end());
  return sentences;
}

std::string EitherOf(const std::vector<std::string>& places) {
  return Listed(places, " or ");
}

std::string JoinedNotes(const std::vector<std::string>& sentences) {
  std::string text;
  for (const std::string& sentence : sentences)
    text += (text.empty() ? "" : " ") + sentence;
  return text;
}

}  // namespace larkspur
