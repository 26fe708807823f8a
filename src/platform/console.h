#pragma once
// The command line's text channels: arguments and output as UTF-8, whatever the platform's own
// encoding is.
#include <ostream>
#include <string>
#include <vector>

namespace larkspur {

// The program's arguments, the program's name first.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output and error for UTF-8 text. On Windows a program without a console of its own
// attaches to the console it was started from, and text shown there keeps every character.
struct ConsoleStreams {
  std::ostream& out;
  std::ostream& err;
};
ConsoleStreams OpenConsole();

}  // namespace larkspur
