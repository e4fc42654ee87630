// The program name: the model file's name before its first '.' becomes
// the name of the main program ("program bank;"), where it hides every
// unit and routine of the same name, so a clash would only show as a
// failure of the Pascal compiler inside the generated text. Checked in
// three steps, each as soon as what it compares with is known: the name
// itself once the source is read, before anything is written
// (CheckProgramName); the node names once the headers are read
// (CheckProgramNodes); the user's units and responses before the main
// program is written (CheckProgramUses, from AssembleProgram).
#include <algorithm>
#include <cctype>
#include "ground/compiler.h"
#include "codegen/assembly.h"
#include "ground/text.h"

namespace {

// Reserved words of the Pascal compiler in its Delphi mode: none can name
// a program.
constexpr const char* PASCALWORDS[] = {
    "AND", "ARRAY", "AS", "ASM", "BEGIN", "CASE", "CLASS", "CONST", "CONSTRUCTOR",
    "DESTRUCTOR", "DISPINTERFACE", "DIV", "DO", "DOWNTO", "ELSE", "END", "EXCEPT",
    "EXPORTS", "FILE", "FINALIZATION", "FINALLY", "FOR", "FUNCTION", "GOTO", "IF",
    "IMPLEMENTATION", "IN", "INHERITED", "INITIALIZATION", "INTERFACE", "IS", "LABEL",
    "LIBRARY", "MOD", "NIL", "NOT", "OBJECT", "OF", "OR", "OTHERWISE", "PACKED",
    "PROCEDURE", "PROGRAM", "PROPERTY", "RAISE", "RECORD", "REPEAT", "RESOURCESTRING",
    "SET", "SHL", "SHR", "STRING", "THEN", "THREADVAR", "TO", "TRY", "TYPE", "UNIT",
    "UNTIL", "USES", "VAR", "WHILE", "WITH", "XOR"};

// Units linked into every simulation program (the runtime's and the Pascal
// run-time library's): a program of the same name cannot be linked. The
// module units unid<n> and the runtime's units rt... are refused by their
// pattern.
constexpr const char* UNITS[] = {
    "PRU", "FORMS", "GRAPHICS", "DIALOGS", "SYSTEM", "OBJPAS", "SYSUTILS", "SYSCONST",
    "MATH", "UNIX", "BASEUNIX", "UNIXTYPE", "UNIXUTIL", "LINUX", "SYSCALL", "ERRORS",
    "FPINTRES", "SI_PRC", "TERMIO"};

// Names without '_' that the main program's own text uses (its names with
// '_' are refused by their first character).
constexpr const char* MAINNAMES[] = {
    "ASSIGNFILE", "BLCK", "BLOCKWRITE", "BOOLEAN", "CERRARGRAFICOS", "CLOSEFILE",
    "CLRSTAT", "DISFEL", "EVP", "FALSE", "HALT", "HIGH", "IEV", "INO", "INTEGER", "LENGTH",
    "MENU", "NREP", "NTREP", "PARAMCOUNT", "PARAMSTR", "REAL", "RESET", "REWRITE", "RN",
    "SEEK", "STAT", "TIME", "TRUE", "TSIM", "WRITELN"};

template <size_t N>
bool AMONG(const std::string& w, const char* const (&table)[N]) {
  return std::any_of(std::begin(table), std::end(table), [&](const char* t) { return w == t; });
}


bool IDENTIFIER(const std::string& w) {
  if (w.empty() || !std::isalpha(static_cast<unsigned char>(w[0]))) return false;
  return std::all_of(w.begin(), w.end(), [](char ch) {
    return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_';
  });
}

bool MODULEUNIT(const std::string& w) {
  return w.size() > 4 && w.compare(0, 4, "UNID") == 0 &&
         std::all_of(w.begin() + 4, w.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

bool RUNTIMEUNIT(const std::string& w) { return w.size() > 2 && w.compare(0, 2, "RT") == 0; }

// An error about the file itself points at the start of the model.
[[noreturn]] void FILEERROR(Compiler& c, const std::string& msg) {
  c.src.PL = 0;
  c.src.LB = 1;
  c.src.K = 1;
  ERROR(c, msg);
}

}  // namespace

void CheckProgramName(Compiler& c) {
  const std::string name = PROGNAMEOF(c.drv.SRCPATH);
  const std::string w = UPPER(name);
  if (!IDENTIFIER(name))
    FILEERROR(c, "rename the model file: " + name + " is no name (a letter, then letters, digits, _)");
  if (AMONG(w, PASCALWORDS)) FILEERROR(c, "rename the model file: " + name + " is a Pascal word");
  if (AMONG(w, UNITS) || MODULEUNIT(w) || RUNTIMEUNIT(w) || AMONG(w, MAINNAMES))
    FILEERROR(c, "rename the model file: the program uses the name " + name);
}

// The message points just after the node's name in its header.
void CheckProgramNodes(Compiler& c) {
  const std::string w = UPPER(PROGNAMEOF(c.drv.SRCPATH));
  auto it = c.model.NODENUM.find(w);
  if (it == c.model.NODENUM.end()) return;
  const NodeRecord& x = c.model.NodeTable[it->second];
  Source& s = c.src;
  s.PL = x.L - 1;
  s.LB = x.L;
  std::string_view text = s.line().text();
  size_t at = text.find_first_not_of(' ');
  int first = at == std::string_view::npos ? 1 : static_cast<int>(at) + 1;
  s.K = first + static_cast<int>(x.NOM.size());
  ERROR(c, "rename the model file or the node: both are called " + x.NOM);
}

void CheckProgramUses(Compiler& c) {
  const std::string name = PROGNAMEOF(c.drv.SRCPATH);
  const std::string w = UPPER(name);
  const auto& units = c.decl.USESLIST;
  const auto& responses = c.prog.RESPONSES;
  bool clash = std::any_of(units.begin(), units.end(),
                           [&](const std::string& u) { return UPPER(u) == w; }) ||
               std::any_of(responses.begin(), responses.end(),
                           [&](const std::string& r) { return UPPER(r) == w; });
  if (clash) FILEERROR(c, "rename the model file: the program uses the name " + name);
}
