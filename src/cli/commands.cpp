// The commands: the whole `talven` command line. `talven MODEL [TRACE]`
// translates as it always did (banner, run, report, exit code); the verbs
// build and run live in build.cpp, sweep, merge and task in sweep.cpp. The
// only places that turn outcomes into messages and codes.
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>
#include "cli/cli.h"
#include "cli/sweep.h"
#include "ground/compiler.h"

namespace {
constexpr const char* BANNER1 = "TALVEN Compiler. Castavel.";
constexpr const char* BANNER2 = "  Windows 95/98/NT version 1.6.4, December 2003";
constexpr const char* VERSION = "1.6.4";

// Every form of the command line, in the order help shows them: the form
// after "talven ", then what it does (lines after the first indented).
struct Form {
  const char* form;
  const char* text;
};
constexpr Form FORMS[] = {
    {"build MODEL",
     "translate MODEL and compile its simulation\n"
     "with fpc into MODEL-build/ beside it; prints\n"
     "the path of the simulation program"},
    {"run MODEL [--] [ARGS]",
     "build MODEL when it changed, then run its\n"
     "simulation with ARGS in the working directory\n"
     "(ARGS --help lists the simulation's options)"},
    {"sweep MODEL --reps N [--design FILE] [--slurm [SBATCH OPTIONS]]",
     "N replications of MODEL in tasks, or N at\n"
     "each point of a design, on this machine's cores\n"
     "or as a Slurm job array; merged with their\n"
     "confidence intervals (options: help sweep)"},
    {"merge DIR",
     "merge the tasks of the sweep in DIR that have\n"
     "ended; names those missing or failed (exit 1)"},
    {"MODEL",
     "translate MODEL only: PRU.PAS and unid<n>.pas\n"
     "in the working directory, the main program\n"
     "(.DPR) beside MODEL"},
    {"MODEL TRACE",
     "the same, tracing every step (any second\n"
     "argument; Enter advances)"},
    {"help [COMMAND]", "this text (also --help, -h), or one command's"},
    {"--version", "the version, and where the runtime units are"},
};
constexpr const char* CODES =
    "Exit codes: 0 done; 2 bad argument, unreadable file or missing tool;\n"
    "3 model error, fpc's errors in the generated text included (shown at\n"
    "the model's lines); 4 a fault of the translator itself. Once the\n"
    "simulation runs, run ends with the simulation's own code.";

// The verbs that are commands of their own; each answers --help.
struct Verb {
  const char* name;
  int (*command)(const std::vector<std::string>&, std::ostream&, std::ostream&,
                 const std::string&);
};
// task runs one task of a sweep (what each Slurm array task starts).
constexpr Verb VERBS[] = {{"build", BUILDCOMMAND}, {"run", RUNCOMMAND},
                          {"sweep", SWEEPCOMMAND}, {"merge", MERGECOMMAND},
                          {"task", TASKCOMMAND}};

const Verb* VERBOF(const std::string& word) {
  for (const Verb& v : VERBS)
    if (word == v.name) return &v;
  return nullptr;
}

// usage: and every form, one a line.
void SHORTUSAGE(std::ostream& s) {
  const char* lead = "usage: talven ";
  for (const Form& f : FORMS) {
    if (std::strcmp(f.form, "MODEL TRACE") == 0) continue;  // MODEL [TRACE] says it
    s << lead << (std::strcmp(f.form, "MODEL") == 0 ? "MODEL [TRACE]" : f.form) << '\n';
    lead = "       talven ";
  }
}

void LONGUSAGE(std::ostream& s) {
  s << "talven: TALVEN simulation models into simulation programs.\n\n";
  constexpr size_t WIDTH = 33;  // text up to column 80
  for (const Form& f : FORMS) {
    std::string head = std::string("  talven ") + f.form;
    s << head;
    const char* t = f.text;
    bool first = true;
    while (*t) {
      const char* nl = std::strchr(t, '\n');
      size_t n = nl ? static_cast<size_t>(nl - t) : std::strlen(t);
      size_t at = first ? head.size() : 0;
      if (first && at + 2 > WIDTH) {
        s << '\n';
        at = 0;
      }
      s << std::string(WIDTH - at, ' ') << std::string(t, n) << '\n';
      first = false;
      t += n + (nl ? 1 : 0);
    }
  }
  s << '\n' << CODES << '\n';
}
}  // namespace

int RUNTALVEN(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, std::istream& in, const std::string& root) {
  if (!args.empty())
    if (const Verb* v = VERBOF(args[0])) return v->command({args.begin() + 1, args.end()}, out, err, root);
  if (!args.empty() && (args[0] == "help" || args[0] == "--help" || args[0] == "-h")) {
    if (args.size() == 1) {
      LONGUSAGE(out);
      return 0;
    }
    if (const Verb* v = VERBOF(args[1])) return v->command({"--help"}, out, err, root);
    err << "talven: no command " << args[1] << '\n';
    SHORTUSAGE(err);
    return 2;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::string rt = RUNTIMEDIR(SELFPATH());
    out << "talven " << VERSION << '\n'
        << "runtime units: " << (rt.empty() ? "not found" : rt) << '\n';
    return 0;
  }
  if (!args.empty() && args[0].size() > 1 && args[0][0] == '-') {
    err << "talven: unknown option " << args[0] << '\n';
    SHORTUSAGE(err);
    return 2;
  }
  out << BANNER1 << '\n' << BANNER2 << '\n';
  if (args.empty()) {
    SHORTUSAGE(err);
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
  c->drv.STREAMOUT = true;  // committed below
  try {
    RUNONSTACK(TRANSLATORSTACK, [&] { TRANSLATE(*c); });
    DirLocks lock(OUTPUTDIRS(*c));
    COMMITOUTPUTS(*c);
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
