#include <iostream>

#include "app/command_line.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return larkspur::RunCommandLine(argc, argv, std::cout, std::cerr);
}
