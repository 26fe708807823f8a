#include "app/version.h"

#include <cstdio>

int main() {
  std::printf("larkspur %s\n", larkspur::ProgramVersion());
  return 0;
}
