#include "app/cleanup_steps.h"

#include <string>

namespace larkspur {

void RunTickedSteps(Form1& form, Cleaners& cleaners) {
  for (const CleanupStep& step : kCleanupSteps) {
    if (!(form.*step.box).Ticked())
      continue;
    form.Label5.SetCaption(std::string(step.status));
    step.run(cleaners);
  }
  form.Label5.SetCaption("");
}

}  // namespace larkspur
