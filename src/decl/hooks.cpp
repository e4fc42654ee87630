// Places where later work completes what the declarations start. Each
// routine is called at its place already; its owner fills it in.
#include "ground/compiler.h"

// Network organisation: successors, lists and the network tables.
void ORGANIZE(Compiler& c) { ORGRED(c); }
