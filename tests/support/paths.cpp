// Where the test program finds the source tree and the built translator.
// The only file that carries the paths, so that the other test files
// compile the same in every checkout and a compiler cache can share them.
#include "support/paths.h"

const char* talven_test_models() { return TALVEN_TEST_MODELS_DIR; }
const char* talven_binary() { return TALVEN_BINARY_PATH; }
