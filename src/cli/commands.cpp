// The commands: the whole `talven` command line. `talven MODEL [TRACE]`
// translates as it always did (banner, run, report, exit code); the verbs
// build and run live in build.cpp. The only places that turn outcomes into
// messages and codes.
#include <istream>
#include <memory>
#include <ostream>
#include "cli/cli.h"
#include "ground/compiler.h"

namespace {
constexpr const char* BANNER1 = "TALVEN Compiler. Castavel.";
constexpr const char* BANNER2 = "  Windows 95/98/NT version 1.6.4, December 2003";
constexpr const char* USAGE =
    "usage: talven MODEL [TRACE]\n"
    "       talven build MODEL\n"
    "       talven run MODEL [--] [ARGS]";
}  // namespace

int RUNTALVEN(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, std::istream& in, const std::string& root) {
  if (!args.empty() && args[0] == "build")
    return BUILDCOMMAND({args.begin() + 1, args.end()}, out, err, root);
  if (!args.empty() && args[0] == "run")
    return RUNCOMMAND({args.begin() + 1, args.end()}, out, err, root);
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
  c->drv.STACKROOM = NESTINGROOM;
  try {
    RUNONSTACK(TRANSLATORSTACK, [&] { TRANSLATE(*c); });
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
