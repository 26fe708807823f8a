#include "platform/desktop.h"

namespace larkspur {

const char kTextViewer[] = "xdg-open";
const char kWebViewer[] = "xdg-open";

}  // namespace larkspur
