#include <windows.h>

#include <cstdio>

#include "platform/run_log_file.h"

namespace larkspur {

std::string LocalTimestamp() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                now.wDay, now.wHour, now.wMinute, now.wSecond);
  return text;
}

}  // namespace larkspur
