// Declarations: the DECL section, class by class, and the checks every
// newly declared name goes through.
#pragma once
#include <string>
#include <vector>

struct Compiler;

// Subsystem 5 state.
struct Decl {
  int CLASSIDX = 15;         // class found by the last BUCLADE (15: none)
  bool CLASSFOUND = false;   // CLASSIDX names a class
  std::string NOM5;          // first word after DECL (or after USES)
  bool USESFIRST = true;     // the DECL section begins with USES
  std::vector<std::string> USESLIST;  // units named in USES, in order
  bool PROCSEEN = false;     // the PROCEDURES class has been handled
  int NodeCountAtDecl = 0;   // NodeCount when the class loop starts
  bool INTYPE = false;       // the TYPE handler runs
};

// ---- checks shared by the class handlers (checks.cpp)
void BUCLADE(Compiler& c);  // IDENT in the class table
void BUSPOCO(Compiler& c);  // [ABSOLUTE x] then ";" or "="
void CHKRES(Compiler& c);   // IDENT must not be a reserved word
void CHKNAME(Compiler& c);  // nor a node name
