#include "platform/desktop.h"

namespace larkspur {

const char kTextViewer[] = "notepad";
const char kWebViewer[] = "explorer";

}  // namespace larkspur
