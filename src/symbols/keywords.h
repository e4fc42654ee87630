// Keyword tables: the fixed vocabularies of the language and their lookups.
#pragma once

struct Compiler;

// Results of the vocabulary lookups.
struct Keywords {
};
