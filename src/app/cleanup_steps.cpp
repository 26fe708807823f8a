#include "app/cleanup_steps.h"

#include <string>

#include "app/run_summary.h"

namespace larkspur {

std::string RunTickedSteps(Form1& form, Cleaners& cleaners) {
  cleaners.record.Clear();
  for (const CleanupStep& step : kCleanupSteps) {
    if (!(form.*step.box).Ticked())
      continue;
    cleaners.record.StartItem(step.item);
    form.Label5.SetCaption(std::string(step.status));
    step.run(cleaners);
  }
  // The summary stays in view, with what the user can do about what stayed.
  std::string stayed = cleaners.firefox.TakeStayed();
  if (std::string chromium = cleaners.chromium.TakeStayed(); !chromium.empty())
    stayed += (stayed.empty() ? "" : " ") + chromium;
  const std::string summary = SummaryLine(cleaners.record.Total());
  form.Label5.SetCaption(stayed.empty() ? summary : summary + ' ' + stayed);
  return stayed;
}

}  // namespace larkspur
