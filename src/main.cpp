#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/console.h"
#include "ui/run_window.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments = larkspur::Utf8Arguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments)
    pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  const larkspur::ConsoleStreams console = larkspur::OpenConsole();
  const auto open_window = [argc, argv](const larkspur::UserFolders& folders,
                                        const larkspur::WindowStart& start) {
    return larkspur::RunWindow(argc, argv, folders, start);
  };
  return larkspur::RunCommandLine(static_cast<int>(arguments.size()), pointers.data(), console.out,
                                  console.err, open_window);
}
