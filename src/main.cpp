#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/console.h"
#ifdef _WIN32
#include "ui/win32/run_window.h"
#else
#include "ui/qt/run_window.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> arguments = larkspur::Utf8Arguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments)
    pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  const larkspur::ConsoleStreams console = larkspur::OpenConsole();
#ifdef _WIN32
  const std::function<int()> open_window = [] { return larkspur::RunWindow(); };
#else
  const std::function<int()> open_window = [argc, argv] { return larkspur::RunWindow(argc, argv); };
#endif
  return larkspur::RunCommandLine(static_cast<int>(arguments.size()), pointers.data(), console.out,
                                  console.err, open_window);
}
