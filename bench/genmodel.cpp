// genmodel: writes a valid TALVEN model of about the requested number of
// lines to standard output (see genmodel.h), for the benchmarks.
//
// usage: genmodel LINES [random|ordered] [SEED] > model.tlv
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "genmodel.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4 || std::atol(argv[1]) < 1) {
    std::fprintf(stderr, "usage: genmodel LINES [random|ordered] [SEED]\n");
    return 2;
  }
  bool ordered = argc > 2 && std::strcmp(argv[2], "ordered") == 0;
  if (argc > 2 && !ordered && std::strcmp(argv[2], "random") != 0) {
    std::fprintf(stderr, "genmodel: names are random or ordered\n");
    return 2;
  }
  unsigned seed = argc > 3 ? static_cast<unsigned>(std::atol(argv[3])) : 1;
  std::string model = genmodel::MODEL(std::atol(argv[1]), ordered, seed);
  return std::fwrite(model.data(), 1, model.size(), stdout) == model.size() ? 0 : 1;
}
