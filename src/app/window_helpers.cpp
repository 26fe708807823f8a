#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "app/main_window.h"
#include "platform/path_text.h"

namespace larkspur {

void MainWindow::CenterOnScreen() {
  const TwipsRect outer = ports_.face.OuterRect();
  ports_.face.MoveTo((ports_.face.ScreenWidth() - outer.width) / 2.0,
                     (ports_.face.ScreenHeight() - outer.height) / 2.0);
}

bool FileExists(const std::string& path) {
  if (path.empty())
    return false;
  std::error_code error;
  [[maybe_unused]] const auto stamp = std::filesystem::last_write_time(PathFromUtf8(path), error);
  return !error;
}

// Events are handled while the time runs; the thread sleeps in between instead of spinning, and
// a clock that never goes back measures the time. A close request handled meanwhile ends the
// wait: the program is on its way out.
void MainWindow::Pause(double seconds) {
  const double start = ports_.desktop.MonotonicSeconds();
  for (;;) {
    const double left = seconds - (ports_.desktop.MonotonicSeconds() - start);
    if (left <= 0 || unloading_)
      return;
    ports_.desktop.WaitForEvents(left);
  }
}

void MainWindow::MouseMove(Surface surface) {
  if (form_.MousePointer == Pointer::kBusy)
    return;
  const bool over_button =
      surface == Surface::kCheck11 || surface == Surface::kCheck12 || surface == Surface::kCheck13;
  const Pointer wanted = over_button ? Pointer::kCustom : Pointer::kDefault;
  if (form_.MousePointer == wanted)
    return;
  form_.MousePointer = wanted;
  ports_.face.Mirror();
}

void MainWindow::Check11_Click() {
  if (!form_.Check11.Ticked())
    return;  // the click that unticking causes
  form_.Check11.Value = kUnticked;
  ports_.face.Mirror();
  StartProgram(kTextViewer, ports_.program_folder + kPathSeparator + "backups.log",
               ShowStyle::kNormal);
  ports_.face.Mirror();
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
