#pragma once
// Small helpers of the main window that need no window.
#include <string>

namespace larkspur {

// Whether `path` names something whose time stamp can be read; never fails.
bool FileExists(const std::string& path);

// Visual Basic's Val then CInt: the number the text begins with, rounded half to even; 0 with
// *fits_16_bits false when it lies outside 16 bits.
int LeadingNumber(const std::string& text, bool* fits_16_bits);

}  // namespace larkspur
