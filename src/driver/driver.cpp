// Compiler driver: start values, temporary files and the order of the
// passes. RUNTALVEN is the whole command (banner, run, report, exit code);
// it is the only place that turns outcomes into messages and codes.
#include <istream>
#include <memory>
#include <ostream>
#include "driver/compiler.h"

namespace {
constexpr const char* BANNER1 = "TALVEN Compiler. Castavel.";
constexpr const char* BANNER2 = "  Windows 95/98/NT version 1.6.4, December 2003";
constexpr const char* USAGE = "usage: talven MODEL [TRACE]";

bool ISSEP(char ch) { return ch == '\\' || ch == '/'; }
}  // namespace

// The directory of the source: the path up to and including its last
// separator ('\\' or '/'), empty when it has none. A dot in a directory name
// ("../models/bank.tlv") does not cut the prefix short.
std::string DIRPREFOF(std::string_view srcpath) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < srcpath.size(); ++i)
    if (ISSEP(srcpath[i])) last = i;
  if (last == std::string_view::npos) return "";
  return std::string(srcpath.substr(0, last + 1));
}

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

void OPENTEMPORARIES(Compiler& c) {
  const std::string& p = c.drv.DIRPREF;
  BINDCH(c, CH_MODINI, p + "MODINI");
  CREATECH(c, CH_MODINI);
  c.out.TRMODE = 1;
  BINDCH(c, CH_MODIN1, p + "MODIN1");
  CREATECH(c, CH_MODIN1);
  BINDCH(c, CH_MODPRO, p + "MODPRO");
  CREATECH(c, CH_MODPRO);
  BINDCH(c, CH_MODPRP, p + "MODPRP");
  CREATECH(c, CH_MODPRP);
  BINDCH(c, CH_MODAUX, p + "MODAUX");
  BINDCH(c, CH_MODLOG, p + "MODLOG");
  BINDCH(c, CH_MODEDI, p + "MODEDI");
  CREATECH(c, CH_MODEDI);
}

void TRANSLATE(Compiler& c) {
  INITSTATE(c);
  TRACELN(c, "PROCESAR ", c.drv.SRCPATH);
  TRACEWAIT(c);
  OPENTEMPORARIES(c);
  for (int ch = 1; ch <= NCHANNELS; ++ch) c.out.ch[ch].BUF.clear();
  c.out.TRANSMIT = false;
  c.out.CURCH = 1;
  CREALIN(c);
  BUNET(c);
  BUSECT(c);
  BUDECL(c);
  TranslateInit(c);
  AssembleProgram(c);
  CLOSECH(c, CH_MODPRP);
  CLOSECH(c, CH_MODEDI);
  for (int ch : {CH_MODINI, CH_MODPRO, CH_MODPRP, CH_MODLOG, CH_MODIN1, CH_MODEDI, CH_MODAUX})
    ERASECH(c, ch);
}

int RUNTALVEN(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, std::istream& in, const std::string& root) {
  if (args.size() == 1 && args[0] == "--help") {
    out << USAGE << '\n';
    return 0;
  }
  out << BANNER1 << '\n' << BANNER2 << '\n';
  if (args.size() == 1 && args[0] == "--version") return 0;
  if (args.empty()) {
    err << USAGE << '\n';
    return 2;
  }
  auto c = std::make_unique<Compiler>();
  c->drv.SRCPATH = args[0];
  c->drv.TRACE = args.size() == 2;
  c->drv.root = root;
  c->drv.out = &out;
  c->drv.err = &err;
  c->drv.in = &in;
  try {
    TRANSLATE(*c);
    WRITEWITNESS(*c);
    return 0;
  } catch (const ModelError& e) {
    err << e.text << '\n'
        << c->drv.SRCPATH << ':' << e.line << ':' << e.column
        << ": error: " << e.message << '\n';
  } catch (const IoError& e) {
    err << "talven: " << e.file << ": " << e.reason << '\n';
    REMOVETEMPORARIES(*c);
    return 2;
  } catch (const std::exception& e) {
    // A fault of the translator itself: said plainly, never a crash.
    err << "talven: internal error: " << e.what() << '\n';
    REMOVETEMPORARIES(*c);
    return 4;
  }
  ERRORCLEANUP(*c);
  return 3;
}
