// talven MODEL [TRACE]: translates one model; a second argument traces.
#include <csignal>
#include <iostream>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include "cli/cli.h"

int main(int argc, char** argv) {
  // A write past the file size limit fails and is reported (exit 2, the
  // file named) instead of killing the process half way.
  std::signal(SIGXFSZ, SIG_IGN);
#ifdef __GLIBC__
  // Large blocks (a growing output, a table) mapped apart and given back
  // whole: left to itself the allocator raises this bound each time such
  // a block is freed, and a large model's texts then grow inside the
  // heap, leaving holes that the peak memory keeps.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  // The translation runs on a thread of its own (for its stack) while
  // main waits: one arena for both. A thread's arena grows a page run at
  // a time, one system call each (800 for a 40 000-line model).
  mallopt(M_ARENA_MAX, 1);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  return RUNTALVEN(args, std::cout, std::cerr, std::cin);
}
