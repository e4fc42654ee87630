// In-process test helpers: a compiler with captured streams, built on
// a model text without touching the file system.
#pragma once
#include <sstream>
#include <string>
#include "cli/cli.h"
#include "support/routines.h"
#include "support/paths.h"

struct TestRun {
  std::ostringstream out, err;
  std::istringstream in;
  Compiler c;

  explicit TestRun(bool trace = false) {
    c.drv.out = &out;
    c.drv.err = &err;
    c.drv.in = &in;
    c.drv.TRACE = trace;
    INITSTATE(c);
  }
  // Builds the line store from the text, as the first pass would.
  void load(const std::string& text) { CREALINFROM(c, text); }
  // Runs f and returns the message of the model error it raises ("" if none).
  template <class F>
  std::string error(F f) {
    try {
      f();
    } catch (const ModelError& e) {
      lastError = e;
      return e.message;
    }
    return "";
  }
  ModelError lastError;
};

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

// A fresh directory under the system's temporary directory, removed after.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::random_device rd;
    path = std::filesystem::temp_directory_path() /
           ("talven-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string str() const { return path.string(); }
  std::string file(const std::string& name) const { return (path / name).string(); }
  bool has(const std::string& name) const { return std::filesystem::exists(path / name); }
  void write(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories((path / name).parent_path());
    std::ofstream(path / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream f(path / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
};

// What a run has written to the file a channel was bound to by this name
// (files stay in memory until a complete run writes its outputs out).
inline std::string FILETEXT(const Compiler& c, const std::string& name) {
  auto f = c.out.files.find(name);
  return f == c.out.files.end() ? "" : f->second;
}

// A file of a run driven pass by pass: its text in memory when the run
// wrote it, else the directory's file of that name.
inline std::string WRITTEN(const Compiler& c, const TempDir& dir, const std::string& name) {
  auto f = c.out.files.find(name);
  return f == c.out.files.end() ? dir.read(name) : f->second;
}
inline bool HASWRITTEN(const Compiler& c, const std::string& name) {
  return c.out.files.count(name) > 0;
}

// Reads a model file of tests/models.
inline std::string MODELTEXT(const std::string& name) {
  std::ifstream f(std::string(TALVEN_TEST_MODELS) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Reads the model of a case kept as data: tests/<behaviour>/<name>.tlv.
inline std::string CASETEXT(const std::string& behaviour, const std::string& name) {
  std::ifstream f(std::string(TALVEN_TEST_MODELS) + "/../" + behaviour + "/" + name + ".tlv",
                  std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// The fixed head of unit pru: the uses line (without its end, which the
// user's units decide) and the interface lines after it.
inline const std::string PRUHEAD =
    "unit pru;interface uses rtdefs,rtmath,rtshell,rtdlg,rtdist,rtplot,Dialogs";
inline const std::string PRUINTERFACE =
    "{$F+}\n"
    "function _fec(time:real;_m:integer):real;\n"
    "procedure _upvr(_ni:word;_s: pointer);\n"
    "procedure _uprv(_ni:word;_s: pointer);\n"
    "procedure _upvro(_ni:word;_s: pointer);\n"
    "procedure _uprvo(_ni:word;_s: pointer);\n"
    "procedure _elim(r:word; b:pointer;_pe:_pl);\n"
    "procedure _newr(r:integer; var b:pointer);\n"
    "procedure _com; procedure _inieli;  procedure _aesva; procedure _init;\n"
    "procedure clrstat; procedure _pexp;\n"
    "function _cl(_NSY:INTEGER):BOOLEAN;\n"
    "procedure _prsta(I:INTEGER;V:REAL);procedure _prstp(I:INTEGER;V:REAL);\n"
    " \n";

// The entry a name finds as seen from a program unit (nullptr: none).
inline NameNode* SEENFROM(Compiler& c, const std::string& name, const std::string& scope) {
  c.names.SCOPE = scope;
  c.src.IDENT = name;
  c.src.CH = ' ';
  BUSIDAR1(c);
  c.names.SCOPE = "MAIN";
  return c.names.FOUND ? c.names.CURENT : nullptr;
}

// The source tree (runtime/, tests/dbf/) as the tests see it.
inline const std::string SOURCEDIR = std::string(TALVEN_TEST_MODELS) + "/../..";

// A shell command run in dir; its exit status.
inline int SHELLIN(const TempDir& dir, const std::string& command) {
  return std::system(("cd '" + dir.str() + "' && " + command).c_str());
}

// Builds the generated program stem.DPR in dir with the runtime's real
// simulation (fpc's messages in fpc.log), then runs it (run.log).
inline int FPCBUILD(const TempDir& dir, const std::string& stem) {
  return SHELLIN(dir, "mkdir units && fpc -Mdelphi -Fu'" + SOURCEDIR +
                          "/runtime' -FUunits -FEunits " + stem + ".DPR >fpc.log 2>&1");
}
inline int RUNBUILT(const TempDir& dir, const std::string& stem) {
  return SHELLIN(dir, "timeout 60 units/" + stem + " </dev/null >run.log 2>&1");
}

// Translates, builds and runs a model of tests/models; its printed lines.
inline std::string SIMULATE(const std::string& name) {
  TempDir dir;
  dir.write("m.tlv", MODELTEXT(name));
  std::ostringstream out, err;
  std::istringstream in;
  if (RUNTALVEN({"m.tlv"}, out, err, in, dir.str()) != 0) return "translation: " + err.str();
  if (FPCBUILD(dir, "m") != 0) return "fpc: " + dir.read("fpc.log");
  if (RUNBUILT(dir, "m") != 0) return "run: " + dir.read("run.log");
  return dir.read("run.log");
}

// The number in the given column (1: the first after the name) of the
// first printed line that starts with name; NaN when there is none.
inline double FIGURE(const std::string& run, const std::string& name, int column = 1) {
  size_t p = run.compare(0, name.size(), name) == 0 ? 0 : run.find("\n" + name);
  if (p == std::string::npos) return std::nan("");
  if (p > 0) p++;
  size_t end = run.find('\n', p);
  std::istringstream line(run.substr(p + name.size(),
                                     end == std::string::npos ? end : end - p - name.size()));
  double v = std::nan("");
  for (int i = 0; i < column; ++i)
    if (!(line >> v)) return std::nan("");
  return v;
}

// A model translated and built in a directory of its own as NAME.tlv,
// so its program and report file are named NAME.
struct Built {
  TempDir dir;
  std::string name;
  std::string error;  // why it could not be built ("" when built)

  Built(const std::string& text, const std::string& stem) : name(stem) {
    dir.write(stem + ".tlv", text);
    std::ostringstream out, err;
    std::istringstream in;
    if (RUNTALVEN({stem + ".tlv"}, out, err, in, dir.str()) != 0)
      error = "translation: " + err.str();
    else if (FPCBUILD(dir, stem) != 0)
      error = "fpc: " + dir.read("fpc.log");
  }
  // Runs the program with arguments and standard input; stdout in
  // out.txt, stderr in err.txt; the exit code.
  int run(const std::string& args, const std::string& input = "") const {
    dir.write("in.txt", input);
    int st = SHELLIN(dir, "timeout 60 units/" + name + " " + args +
                              " <in.txt >out.txt 2>err.txt");
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  std::string out() const { return dir.read("out.txt"); }
  std::string err() const { return dir.read("err.txt"); }
};
