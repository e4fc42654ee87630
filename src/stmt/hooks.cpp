// Stand-ins for the handlers that the statement dispatcher reaches but that
// belong to later work: instructions, continuous equations, statistics,
// valued functions, input/output lists. Each stops the run with
// "<word> not supported yet"; a query answers as a model without the
// feature would. The subsystem that implements a routine removes it here.
#include "driver/compiler.h"

namespace {
[[noreturn]] void NOTYET(Compiler& c, std::string_view word) {
  ERROR(c, std::string(word) + " not supported yet");
}
}  // namespace

void PROTHINST(Compiler& c, int kw) { NOTYET(c, INSTENTRY(kw)); }
void PRARRAYASG(Compiler& c, std::string_view word) { NOTYET(c, word); }
void PRIOLIST(Compiler& c, bool, std::string_view word) { NOTYET(c, word); }
void PRIOSTMT(Compiler& c) { NOTYET(c, c.src.IDENT); }
void PRFREQTAB(Compiler& c) { NOTYET(c, c.src.IDENT); }
void PRRAND(Compiler& c) { NOTYET(c, "RAND"); }
void PRREPORT(Compiler& c) { NOTYET(c, "REPORT"); }
void PRENDREPORT(Compiler& c) { NOTYET(c, "ENDREPORT"); }
