// Places where later work completes what the declarations start. Each
// routine is called at its place already; its owner fills it in.
#include "driver/compiler.h"

// Network organisation: successors, lists and the network tables.
void ORGANIZE(Compiler& c) { ORGRED(c); }

// A CONT or RET n variable joins the continuous variable list.
void DeclareContinuous(Compiler&, NameNode*, int) {}

// An ARRAY OF CONT variable: one continuous variable per element.
void DeclareContinuousArray(Compiler&, NameNode*) {}

// A FREQ variable joins the FREQ variable list of the statistics.
void DeclareFreq(Compiler&, NameNode*) {}

// A continuous declaration left pending by the variable reader.
void CONTPENDING(Compiler&) {}
