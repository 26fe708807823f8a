#pragma once

namespace larkspur {
const char* ProgramVersion();
}
