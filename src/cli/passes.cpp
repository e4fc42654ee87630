// The order of the passes: start values, the temporaries, then every pass
// once. Throws what the passes throw; the commands (commands.cpp) turn
// outcomes into messages and exit codes.
#include "cli/cli.h"
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "model/model.h"
#include "codegen/codegen.h"
#include "codegen/assembly.h"

// Every piece of translator state to its start value; the command line and
// the streams are kept.
void INITSTATE(Compiler& c) {
  Driver d = std::move(c.drv);
  c = Compiler();
  c.drv = std::move(d);
  c.drv.DIRPREF.clear();
  c.drv.warnings.clear();
  c.drv.PASSESRUN = 0;
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
}  // namespace

// The passes after the line store, each once and in order, from the first
// not run yet up to last. The program's name is checked only on a model
// read from a file: a text read from no file has none.
void TRANSLATEUPTO(Compiler& c, Pass last) {
  int& done = c.drv.PASSESRUN;
  if (done == 0 && !c.out.ch[CH_MODINI].text) OPENTEMPORARIES(c);
  const bool named = !c.drv.SRCPATH.empty();
  for (int p = done; p <= static_cast<int>(last); done = ++p) {
    switch (static_cast<Pass>(p)) {
      case Pass::NETWORK:
        if (named) CheckProgramName(c);
        BUNET(c);
        break;
      case Pass::SECTIONS:
        BUSECT(c);
        if (named) CheckProgramNodes(c);
        break;
      case Pass::DECLARATIONS:
        BUDECL(c);
        break;
      case Pass::INIT:
        TranslateInit(c);
        break;
      case Pass::ASSEMBLY:
        AssembleProgram(c);
        break;
      case Pass::FINISH:
        ENDTEMPORARIES(c);
        break;
    }
  }
}

void TRANSLATE(Compiler& c) {
  START(c);
  CREALIN(c);
  TRANSLATEUPTO(c, Pass::FINISH);
}

void TRANSLATETEXT(Compiler& c, std::string_view text) {
  START(c);
  CREALINFROM(c, text);
  TRANSLATEUPTO(c, Pass::FINISH);
}
