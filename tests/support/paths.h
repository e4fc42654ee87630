// The source tree's test models and the built translator, for the tests.
#pragma once

const char* talven_test_models();
const char* talven_binary();

#define TALVEN_TEST_MODELS (talven_test_models())
#define TALVEN_BINARY (talven_binary())
