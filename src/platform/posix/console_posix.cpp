#include <csignal>
#include <iostream>

#include "platform/console.h"

namespace larkspur {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

ConsoleStreams OpenConsole() {
  // A reader that goes away (`larkspur --clean all | head -1`) fails the writes instead of
  // ending the run halfway.
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  return {std::cout, std::cerr};
}

}  // namespace larkspur
