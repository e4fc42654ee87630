// talven build MODEL and talven run MODEL [--] [ARGS]: the model translated
// in process into its build directory, compiled there by fpc with the
// runtime units, and run. fpc's errors are shown at the model lines the
// generated text came from. A build is skipped when the program there was
// built from the same model by the same translator and runtime.
//
// The build directory (BUILDDIROF) holds the generated files, fpc.log,
// units.fpc/ (compiled units), build.stamp (what the program was built
// from) and the program, named after the model file up to its first dot.
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include "cli/cli.h"
#include "ground/compiler.h"
#include "codegen/assembly.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* BUILDUSAGE =
    "usage: talven build MODEL\n"
    "Translates MODEL and compiles it with fpc into MODEL-build/ beside it;\n"
    "prints the path of the simulation program.";
constexpr const char* RUNUSAGE =
    "usage: talven run MODEL [--] [ARGS]\n"
    "Builds MODEL when it changed (as talven build does), then runs the\n"
    "simulation program with ARGS in the working directory.";

// A model named on the command line: both separators accepted.
struct Plan {
  std::string shown;  // the model as the command line names it
  fs::path model;     // the model file
  fs::path dir;       // build directory
  std::string name;   // the model's file name: the source path of the run
  fs::path main;      // the generated main program
  fs::path program;   // the simulation program
};

std::string SLASHES(std::string p) {
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

Plan PLANOF(const std::string& model, const std::string& root) {
  Plan p;
  p.shown = model;
  fs::path m(SLASHES(model));
  if (m.is_relative() && !root.empty()) m = fs::path(root) / m;
  p.model = fs::absolute(m).lexically_normal();
  p.dir = BUILDDIROF(p.model.string());
  p.name = p.model.filename().string();
  p.main = p.dir / MAINFILEOF(p.name);
  p.program = p.dir / PROGNAMEOF(p.name);
  return p;
}

std::string READALL(const fs::path& f) {
  std::ifstream in(f, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// FNV-1a: tells one model text from another; not a defence.
std::string HASHOF(const std::string& text) {
  uint64_t h = 1469598103934665603ULL;
  for (unsigned char ch : text) h = (h ^ ch) * 1099511628211ULL;
  std::ostringstream s;
  s << std::hex << h;
  return s.str();
}

std::string FILESTAMP(const fs::path& f) {
  std::error_code ec;
  auto t = fs::last_write_time(f, ec).time_since_epoch().count();
  auto n = fs::file_size(f, ec);
  return std::to_string(n) + " " + std::to_string(t);
}

// What a program is built from: the model's text, this translator, the
// runtime units. Equal stamps mean the program is up to date.
std::string STAMPOF(const std::string& text, const std::string& self, const std::string& rt) {
  std::string s = "model " + HASHOF(text) + "\n";
  s += "translator " + self + " " + FILESTAMP(self) + "\n";
  std::vector<std::string> units;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(rt, ec))
    if (e.is_regular_file()) units.push_back(e.path().filename().string() + " " + FILESTAMP(e.path()));
  std::sort(units.begin(), units.end());
  s += "runtime " + rt + "\n";
  for (const std::string& u : units) s += "  " + u + "\n";
  return s;
}

// One build at a time in a build directory; released on every way out.
struct DirLock {
  int fd = -1;
  explicit DirLock(const fs::path& dir) {
    fd = open((dir / "build.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) flock(fd, LOCK_EX);
  }
  ~DirLock() {
    if (fd >= 0) close(fd);
  }
};

// The translation, in process, into the build directory; the model's own
// files are read beside it. 0, or the exit code after its messages.
int TRANSLATEINTO(Compiler& c, const Plan& p, std::ostream& err) {
  std::ostringstream quiet;  // the core's own message lines; ours follow
  std::istringstream none;
  c.drv.SRCPATH = p.name;
  c.drv.root = p.dir.string();
  c.drv.srcdir = p.model.parent_path().string();
  c.drv.out = &quiet;
  c.drv.err = &quiet;
  c.drv.in = &none;
  c.drv.STACKROOM = NESTINGROOM;
  c.drv.STREAMOUT = true;  // committed below
  int code = 0;
  try {
    RUNONSTACK(TRANSLATORSTACK, [&] { TRANSLATE(c); });
    COMMITOUTPUTS(c);  // the build lock keeps other runs out
  } catch (const ModelError& e) {
    err << p.shown << ':' << e.line << ':' << e.column << ": error: " << e.message << '\n';
    ERRORCLEANUP(c);
    code = 3;
  } catch (const IoError& e) {
    err << "talven: " << e.file << ": " << e.reason << '\n';
    REMOVETEMPORARIES(c);
    return 2;
  } catch (const std::exception& e) {
    err << "talven: internal error: " << e.what() << '\n';
    REMOVETEMPORARIES(c);
    return 4;
  }
  for (const ModelError& w : c.drv.warnings)
    err << p.shown << ':' << w.line << ':' << w.column << ": warning: " << w.message << '\n';
  return code;
}

// fpc's errors at the model lines their text came from, the generated
// place in brackets. 3 when one was the model's, 2 when fpc failed on
// its own.
int FPCFAILED(const Compiler& c, const Plan& p, const Outcome& o, std::ostream& err) {
  fs::path log = p.dir / "fpc.log";
  bool model = false;
  std::vector<std::string> said;
  for (const FpcError& e : FPCERRORS(READALL(log))) {
    Place at = ORIGINOF(c, e.file, e.line, e.col);
    // The main program is written after the model was read: only text
    // copied from the model has a place in it.
    if (!at.copied && fs::path(e.file).filename() == p.main.filename()) at.line = 0;
    std::string gen = fs::path(e.file).filename().string() + ":" + std::to_string(e.line) +
                      (e.col > 0 ? ":" + std::to_string(e.col) : "");
    std::string line;
    bool generated = MAPOF(c, e.file) != nullptr;
    if (at.line > 0)
      line = p.shown + ":" + std::to_string(at.line) + ":" + std::to_string(at.col) +
             ": error: " + e.text + " [" + gen + "]";
    else if (generated)
      line = p.shown + ": error: " + e.text + " [" + gen + "]";
    else
      line = "talven: fpc: " + gen + ": " + e.text;
    model = model || generated;
    if (std::find(said.begin(), said.end(), line) == said.end()) {
      err << line << '\n';
      said.push_back(line);
    }
  }
  if (model) return 3;
  err << "talven: fpc failed (exit " << o.code << "); its output is in " << log.string() << '\n';
  return 2;
}

// Builds p when it is not up to date. 0 when the program is there.
int BUILD(const Plan& p, std::ostream& err) {
  std::error_code ec;
  if (!fs::is_regular_file(p.model, ec)) {
    err << "talven: " << p.shown << ": no such model file\n";
    return 2;
  }
  std::string text = READALL(p.model);
  std::string self = SELFPATH();
  std::string rt = RUNTIMEDIR(self);
  if (rt.empty()) {
    err << "talven: runtime units not found (looked in "
        << (fs::path(self).parent_path() / ".." / "lib" / "talven" / "runtime").lexically_normal().string()
        << ")\n";
    return 2;
  }
  fs::create_directories(p.dir, ec);
  if (ec) {
    err << "talven: " << p.dir.string() << ": " << ec.message() << '\n';
    return 2;
  }
  DirLock lock(p.dir);
  fs::path stampfile = p.dir / "build.stamp";
  std::string stamp = STAMPOF(text, self, rt);
  if (fs::is_regular_file(p.program, ec) && READALL(stampfile) == stamp) return 0;
  fs::remove(stampfile, ec);
  fs::remove(p.program, ec);
  // Units compiled against another runtime must not be taken for these.
  fs::remove_all(p.dir / "units.fpc", ec);
  fs::create_directories(p.dir / "units.fpc", ec);

  auto c = std::make_unique<Compiler>();
  if (int code = TRANSLATEINTO(*c, p, err)) return code;
  std::vector<std::string> cmd = FPCCOMMAND(rt, p.main.filename().string());
  Outcome o = RUNPROGRAM(cmd, p.dir.string(), (p.dir / "fpc.log").string());
  if (o.notfound) {
    err << "talven: fpc not found: install Free Pascal (Debian: apt-get install fpc)\n";
    return 2;
  }
  if (!o.started) {
    err << "talven: fpc: " << o.error << '\n';
    return 2;
  }
  if (o.code != 0) return FPCFAILED(*c, p, o, err);
  if (!fs::is_regular_file(p.program, ec)) {
    err << "talven: fpc left no program " << p.program.string() << "; its output is in "
        << (p.dir / "fpc.log").string() << '\n';
    return 2;
  }
  std::ofstream(stampfile, std::ios::binary) << stamp;
  return 0;
}

// --help, or a missing model: the exit code; -1 to go on.
int USAGE(const std::vector<std::string>& args, const char* usage, std::ostream& out,
          std::ostream& err) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << usage << '\n';
    return 0;
  }
  if (args.empty() || (args[0].size() > 1 && args[0][0] == '-')) {
    err << usage << '\n';
    return 2;
  }
  return -1;
}
}  // namespace

std::string BUILDDIROF(const std::string& model) {
  fs::path m(SLASHES(model));
  std::string stem = m.filename().string();
  size_t dot = stem.rfind('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  return (m.parent_path() / (stem + "-build")).string();
}

int BUILDCOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& root) {
  int u = USAGE(args, BUILDUSAGE, out, err);
  if (u >= 0) return u;
  if (args.size() != 1) {
    err << BUILDUSAGE << '\n';
    return 2;
  }
  Plan p = PLANOF(args[0], root);
  if (int code = BUILD(p, err)) return code;
  out << p.program.string() << '\n';
  return 0;
}

int RUNCOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::string& root) {
  int u = USAGE(args, RUNUSAGE, out, err);
  if (u >= 0) return u;
  Plan p = PLANOF(args[0], root);
  if (int code = BUILD(p, err)) return code;
  std::vector<std::string> argv{p.program.string()};
  size_t first = 1;
  if (first < args.size() && args[first] == "--") ++first;
  argv.insert(argv.end(), args.begin() + static_cast<long>(first), args.end());
  out.flush();
  err.flush();
  std::cout.flush();
  Outcome o = RUNPROGRAM(argv, root, "");
  if (!o.started) {
    err << "talven: " << p.program.string() << ": " << o.error << '\n';
    return 2;
  }
  return o.code;
}
