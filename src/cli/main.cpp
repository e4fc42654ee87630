// talven MODEL [TRACE]: translates one model; a second argument traces.
#include <csignal>
#include <iostream>
#include "cli/cli.h"

int main(int argc, char** argv) {
  // A write past the file size limit fails and is reported (exit 2, the
  // file named) instead of killing the process half way.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  return RUNTALVEN(args, std::cout, std::cerr, std::cin);
}
