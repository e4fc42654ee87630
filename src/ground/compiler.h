// The compiler object: one per run, owning every subsystem's state.
// Routines are free functions taking it first, so runs never share state.
// It includes each folder's state (its *_state.h: data types only), never
// its routines: a file includes the routine headers it uses.
#pragma once
#include <ostream>
#include "ground/ground.h"
#include "source/source_state.h"
#include "symbols/names_state.h"
#include "symbols/keywords_state.h"
#include "model/model_state.h"
#include "decl/decl_state.h"
#include "expr/expr_state.h"
#include "stmt/stmt_state.h"
#include "continuous/continuous_state.h"
#include "codegen/codegen_state.h"

struct Compiler {
  Driver drv;   // command line, trace, diagnostics
  Out out;      // channels and transmission
  Source src;   // line store and scanner
  Names names;  // name tree, type list
  Keywords kw;  // vocabulary lookups
  Model model;  // sections and node table
  Decl decl;    // declaration classes
  Expr expr;    // expressions and function calls
  Stmt stmt;    // statements and instructions
  Cont cont;    // continuous variables and equations
  Gen gen;      // generated procedures and output files
  Program prog; // what decides the shape of the assembled program
};

template <class... A>
void TRACELN(Compiler& c, const A&... a) {
  if (!c.drv.TRACE) return;
  ((*c.drv.out) << ... << a) << '\n';
}

// The same without the line end (a trace line built in pieces).
template <class... A>
void TRACEW(Compiler& c, const A&... a) {
  if (!c.drv.TRACE) return;
  ((*c.drv.out) << ... << a);
}
