// Fuzz target: the input is a model's text, translated whole.
#include <cstddef>
#include <cstdint>
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FUZZTRANSLATE(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
