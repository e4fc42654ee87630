// talven MODEL [TRACE]: translates one model; a second argument traces.
#include <iostream>
#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RUNTALVEN(args, std::cout, std::cerr, std::cin);
}
