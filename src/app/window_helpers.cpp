#include "app/window_helpers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "platform/path_text.h"

namespace larkspur {

bool FileExists(const std::string& path) {
  if (path.empty())
    return false;
  std::error_code error;
  [[maybe_unused]] const auto stamp = std::filesystem::last_write_time(PathFromUtf8(path), error);
  return !error;
}

int LeadingNumber(const std::string& text, bool* fits_16_bits) {
  const char* start = text.c_str();
  while (*start == ' ' || *start == '\t')
    ++start;
  char* end = nullptr;
  double number = 0;
  // Digits with an optional sign and fraction; "1e3", "inf" and hexadecimal are not numbers here.
  const char* scan = start + (*start == '+' || *start == '-');
  if (std::isdigit(static_cast<unsigned char>(*scan)) ||
      (*scan == '.' && std::isdigit(static_cast<unsigned char>(scan[1])))) {
    std::size_t length = static_cast<std::size_t>(scan - start);
    while (std::isdigit(static_cast<unsigned char>(start[length])))
      ++length;
    if (start[length] == '.')
      for (++length; std::isdigit(static_cast<unsigned char>(start[length]));)
        ++length;
    number = std::strtod(std::string(start, length).c_str(), &end);
  }
  const double rounded = std::nearbyint(number);  // half to even, as the default rounding mode
  *fits_16_bits =
      rounded >= std::numeric_limits<short>::min() && rounded <= std::numeric_limits<short>::max();
  return *fits_16_bits ? static_cast<int>(rounded) : 0;
}

}  // namespace larkspur
