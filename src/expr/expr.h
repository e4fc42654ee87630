// Expressions: checking expressions, and the function calls the generated
// program needs in another form.
#pragma once
#include <string>
#include <vector>

struct Compiler;

// A table declared in TABLES: its name and its second name.
struct TableName {
  std::string NOM;
  std::string NOM2;
};

// Subsystem 6 state.
struct Expr {
  std::vector<TableName> TABLES;  // in declaration order
  int TABPOS = 0;                 // position found by TABLOOK, from 0
};

// ---- function calls (functions.cpp)
bool TABLOOK(Compiler& c, bool second);  // IDENT in the table list
void PRFUNPG(Compiler& c);  // a built-in function call
void PRFUNP(Compiler& c);   // a user function or procedure-variable call
void PRFUNV(Compiler& c);   // a valued-function call
