// The order of the passes: start values, the temporaries, then every pass
// once. Throws what the passes throw; the commands (commands.cpp) turn
// outcomes into messages and exit codes.
#include "cli/cli.h"
#include "ground/compiler.h"

// Every piece of translator state to its start value; the command line and
// the streams are kept.
void INITSTATE(Compiler& c) {
  Driver d = std::move(c.drv);
  c = Compiler();
  c.drv = std::move(d);
  c.drv.DIRPREF.clear();
  c.drv.warnings.clear();
  BUILDTYPES(c);
}

namespace {
void START(Compiler& c) {
  INITSTATE(c);
  TRACELN(c, "PROCESAR ", c.drv.SRCPATH);
  TRACEWAIT(c);
  OPENTEMPORARIES(c);
  for (Channel& x : c.out.ch) x.BUF.clear();
  c.out.TRANSMIT = false;
  c.out.CURCH = CH_PRU;
}

// Every pass after the line store.
void PASSES(Compiler& c) {
  CheckProgramName(c);
  BUNET(c);
  BUSECT(c);
  CheckProgramNodes(c);
  BUDECL(c);
  TranslateInit(c);
  AssembleProgram(c);
  ENDTEMPORARIES(c);
}
}  // namespace

void TRANSLATE(Compiler& c) {
  START(c);
  CREALIN(c);
  PASSES(c);
}

void TRANSLATETEXT(Compiler& c, std::string_view text) {
  START(c);
  CREALINFROM(c, text);
  PASSES(c);
}
