// The top: the order of the passes and the commands built on it. Nothing
// below calls these; tests and main do.
#pragma once
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

struct Compiler;

// ---- the order of the passes (passes.cpp)
// Every piece of translator state to its start value; the command line and
// the streams are kept.
void INITSTATE(Compiler& c);
void TRANSLATE(Compiler& c);  // every pass; throws ModelError / IoError
// The same on a model's text, read from no file.
void TRANSLATETEXT(Compiler& c, std::string_view text);
// The passes after the line store, in their order.
enum class Pass { NETWORK, SECTIONS, DECLARATIONS, INIT, ASSEMBLY, FINISH };
// On a line store already built: every pass not run yet, up to and
// including last (the temporaries opened first when they are not). A run
// driven pass by pass (tests) goes through here, so it keeps the order of
// a whole translation.
void TRANSLATEUPTO(Compiler& c, Pass last);

// ---- the translator's thread (stack.cpp)
// Stack of the thread a translation runs on, and the part of it the
// nesting levels may take (the rest is for the frames below and above
// them): MAXNESTING levels fit in every build, sanitizers included.
constexpr size_t TRANSLATORSTACK = size_t(64) << 20;
constexpr size_t NESTINGROOM = size_t(48) << 20;
// Runs f on a thread of its own with a stack of that many bytes and waits
// for it; what f throws is thrown again here.
void RUNONSTACK(size_t bytes, const std::function<void()>& f);

// ---- directory locks (dirlock.cpp)
// An exclusive lock on each directory until destroyed, taken in one fixed
// order: the outputs of two runs into one directory are written one run
// after the other. A directory that cannot be opened is passed over.
class DirLocks {
 public:
  explicit DirLocks(const std::vector<std::string>& dirs);
  ~DirLocks();
  DirLocks(const DirLocks&) = delete;
  DirLocks& operator=(const DirLocks&) = delete;

 private:
  std::vector<int> fds;
};

// ---- the commands (commands.cpp)
// The whole command line: `talven MODEL [TRACE]`, `talven build MODEL`,
// `talven run MODEL [--] [ARGS]`; messages, exit code. Used by main and
// tests. root is the directory relative paths start from ("" = the
// process's).
int RUNTALVEN(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, std::istream& in, const std::string& root = "");

// ---- build and run (build.cpp)
// Where `talven build` puts a model's files: beside the model, its file
// name without the last extension followed by "-build".
std::string BUILDDIROF(const std::string& model);
int BUILDCOMMAND(const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err, const std::string& root);
int RUNCOMMAND(const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err, const std::string& root);

// ---- fpc (fpc.cpp)
// An error fpc reports at a place: file as printed, line, column (0 when
// fpc gives none), the message.
struct FpcError {
  std::string file;
  int line = 0;
  int col = 0;
  std::string text;
};
// The errors of an fpc log, in order, without its closing summaries.
std::vector<FpcError> FPCERRORS(std::string_view log);
// The fpc command that builds MAIN (a .DPR in the current directory) with
// the runtime units of rt, units in units.fpc/, the program beside MAIN.
std::vector<std::string> FPCCOMMAND(const std::string& rt, const std::string& main);

// ---- where things are (where.cpp)
// The runtime units: beside the installed program (PREFIX/bin/talven ->
// PREFIX/lib/talven/runtime), or the source tree's for a program built
// there. "" when neither holds them.
std::string RUNTIMEDIR(const std::string& self);

// ---- other programs (process.cpp)
struct Outcome {
  bool started = false;   // the program ran (its code is below)
  bool notfound = false;  // no such program
  int code = 0;           // exit code, 128 + signal when killed
  std::string error;      // why it did not start
};
// Runs argv[0] (searched in PATH) with argv in directory cwd ("" = this
// one) and waits. With a log, standard output and error go there and
// standard input is empty; otherwise all three are this process's.
Outcome RUNPROGRAM(const std::vector<std::string>& argv, const std::string& cwd,
                   const std::string& log);
std::string SELFPATH();  // this program's file ("" when not known)
// Starts argv as RUNPROGRAM does without waiting: its process id, or -1
// with the error number in err (execfailed: the program itself could not
// be started, not the pipe or the fork).
long FORKEXEC(const std::vector<std::string>& argv, const std::string& cwd,
              const std::string& log, int& err, bool& execfailed);
int EXITCODEOF(int status);  // a wait status as an exit code
