#include "platform/win32/win32_desktop.h"

#include <chrono>
#include <climits>
#include <cmath>

#include "platform/win32/code_page.h"

namespace larkspur {

namespace {

bool QuitWaiting() {
  MSG message;
  return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

DWORD Milliseconds(double seconds) {
  if (!(seconds > 0))
    return 0;
  const double ms = std::ceil(seconds * 1000);
  return ms >= static_cast<double>(INFINITE - 1) ? INFINITE - 1 : static_cast<DWORD>(ms);
}

}  // namespace

void Win32Desktop::ProcessPendingEvents() {
  Pump(false);
}

void Win32Desktop::WaitForEvents(double seconds) {
  // A quit on its way to the main loop counts as a posted message waiting, so waking on posted
  // messages would spin until the caller's time is up; it still wakes for everything else.
  const bool quitting = QuitWaiting();
  DWORD wake = QS_ALLINPUT;
  if (quitting) {
    Pump(true);
    wake &= ~(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
  }
  ::MsgWaitForMultipleObjectsEx(0, nullptr, Milliseconds(seconds), wake, MWMO_INPUTAVAILABLE);
  Pump(quitting);
}

void Win32Desktop::Pump(bool past_quit) {
  MSG message;
  bool quit = false;
  int exit_code = 0;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message != WM_QUIT) {
      Dispatch(message);
      continue;
    }
    // Taken off the queue here, it would never reach the main loop. Posted again at once, it
    // would come back first on every look (a filter does not keep it out).
    quit = true;
    exit_code = static_cast<int>(message.wParam);
    if (!past_quit)
      break;
  }
  if (quit)
    ::PostQuitMessage(exit_code);
}

void Win32Desktop::Dispatch(MSG& message) {
  if (dialog_ != nullptr && ::IsDialogMessageW(dialog_, &message))
    return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

double Win32Desktop::MonotonicSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Win32Desktop::SecondsSinceMidnight() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void Win32Desktop::Randomize(double seed) {
  random_.seed(static_cast<std::mt19937::result_type>(seed * 1000));
}

double Win32Desktop::Rnd() {
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

std::wstring QuotedArgument(std::wstring_view argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count as escapes only before a quote.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    quoted += c;
    backslashes = 0;
  }
  // Before the closing quote too.
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

std::wstring CommandLineFor(std::wstring_view program, std::wstring_view argument) {
  // The program name is split off at the first blank and knows no escapes.
  const bool blank = program.find_first_of(L" \t") != std::wstring_view::npos;
  std::wstring line = blank ? L"\"" + std::wstring(program) + L"\"" : std::wstring(program);
  return line + L" " + QuotedArgument(argument);
}

bool Win32Desktop::StartProcess(const std::string& program, const std::string& argument,
                                ShowStyle show) {
  const std::wstring application = ProgramPath(program);
  const std::wstring wide_argument = WideFromUtf8(argument);
  if (application.empty() || application.find(L'"') != std::wstring::npos ||
      (wide_argument.empty() && !argument.empty()))
    return false;
  std::wstring line = CommandLineFor(application, wide_argument);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show == ShowStyle::kMinimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace larkspur
