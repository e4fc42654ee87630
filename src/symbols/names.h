// Name tree, type list and predefined names.
#pragma once
#include <string>

struct Compiler;

// Subsystem 3 state: declared names and types.
struct Names {
  std::string SCOPE = "MAIN";   // program unit being translated
  std::string NOMFUNPG = " ";   // function whose arguments are read (trace)
};
