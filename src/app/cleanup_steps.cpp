#include "app/cleanup_steps.h"

#include <string>

#include "app/run_summary.h"

namespace larkspur {

RunOutcome RunTickedSteps(Form1& form, Cleaners& cleaners, bool notes_on_status_line) {
  RunRecord& record = cleaners.record;
  record.Clear();
  bool ticked = false;
  bool all_missing = true;  // every ticked item found no data of its browser
  for (const CleanupStep& step : kCleanupSteps) {
    if (!(form.*step.box).Ticked())
      continue;
    ticked = true;
    if (const auto absent = form.AbsentBrowsers.find(step.browser);
        absent != form.AbsentBrowsers.end()) {
      record.Notes().NotFound(absent->second);
      continue;
    }
    record.StartItem(step.item);
    form.Label5.SetCaption(std::string(step.status));
    const std::size_t missing_before = record.Notes().NotFoundReports();
    step.run(cleaners);
    all_missing = all_missing && record.Notes().NotFoundReports() > missing_before;
  }

  RunOutcome outcome;
  outcome.notes = record.Notes().Sentences();
  const RunTally total = record.Total();
  if (!ticked) {
    outcome.summary = "No item is ticked.";
  } else if (total.Empty() && all_missing) {
    // Where it looked is the whole answer.
    outcome.summary = JoinedNotes(outcome.notes);
    outcome.notes.clear();
  } else {
    outcome.summary = SummaryLine(total, record.Preview());
  }
  // The summary stays in view, with what the user can do about what stayed.
  const std::string notes = notes_on_status_line ? JoinedNotes(outcome.notes) : "";
  form.Label5.SetCaption(notes.empty() ? outcome.summary : outcome.summary + ' ' + notes);
  return outcome;
}

}  // namespace larkspur
