#include "app/cleanup_steps.h"

#include <string>

namespace larkspur {

std::string RunTickedSteps(Form1& form, Cleaners& cleaners) {
  for (const CleanupStep& step : kCleanupSteps) {
    if (!(form.*step.box).Ticked())
      continue;
    form.Label5.SetCaption(std::string(step.status));
    step.run(cleaners);
  }
  // What a browser kept from the run stays in view; otherwise the line is cleared.
  std::string stayed = cleaners.firefox.TakeStayed();
  form.Label5.SetCaption(stayed);
  return stayed;
}

}  // namespace larkspur
