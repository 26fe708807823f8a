#include "app/version.h"

namespace larkspur {
const char* ProgramVersion() {
  return LARKSPUR_VERSION;
}
}  // namespace larkspur
