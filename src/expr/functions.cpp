// Function calls met while classifying a word: built-in functions, user
// functions and valued functions; the table list lookup.
#include "driver/compiler.h"

// Positions count from 0; the first entry with the name wins.
bool TABLOOK(Compiler& c, bool second) {
  const std::vector<TableName>& t = c.expr.TABLES;
  for (size_t i = 0; i < t.size(); ++i) {
    if ((second ? t[i].NOM2 : t[i].NOM) == c.src.IDENT) {
      c.expr.TABPOS = static_cast<int>(i);
      return true;
    }
  }
  c.expr.TABPOS = static_cast<int>(t.size());
  return false;
}

// The call translators come with the expression translator; until then a
// call stops the run rather than pass through unchecked.
void PRFUNPG(Compiler& c) { ERROR(c, "function call not supported yet: " + c.src.IDENT); }
void PRFUNP(Compiler& c) { ERROR(c, "user function call not supported yet: " + c.src.IDENT); }
void PRFUNV(Compiler& c) { ERROR(c, "valued function call not supported yet: " + c.src.IDENT); }
