// The state of expr/ (the tables and the node reference read last): data types
// only, held by the Compiler object; the routines are declared in expr.h.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A table declared in TABLES: its name and its second name.
struct TableName {
  std::string NOM;
  std::string NOM2;
};

constexpr size_t NODTEXTMAX = 80;  // NODNAME and NODSUB are cut to this

// Subsystem 6 state.
struct Expr {
  std::vector<TableName> TABLES;  // in declaration order
  int TABPOS = 0;                 // position found by TABLOOK, from 0

  // Switches that let a comma end an expression; each owned by its setter.
  bool INARGS = false;   // arguments of a function or procedure call
  bool INSUBS = false;   // a subscript list (PRSUBS)
  bool INWRITE = false;  // arguments of a read or write statement
  bool INACT = false;    // arguments of ACT

  // The node reference read last by PRNODO / PRNODSUB.
  std::string NODNAME;     // name, with "[" subscript "]" when one was given
  std::string NODNUM;      // the node's number as decimal text
  char NODTYPE = ' ';      // its type letter
  std::string NODSUB;      // subscript as written: "1", digits, a name, MIN, FREE
  bool NODVARSUB = false;  // the subscript is a variable; cleared by callers

  bool SPLINENEW = false;  // _init allocates the SPLINE tables (once)
};
