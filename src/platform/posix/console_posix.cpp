#include <iostream>

#include "platform/console.h"

namespace larkspur {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

ConsoleStreams OpenConsole() {
  std::ios::sync_with_stdio(false);
  return {std::cout, std::cerr};
}

}  // namespace larkspur
