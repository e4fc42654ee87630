// Type list and predefined names: the 21 types every model starts with,
// the class code per type number, type lookup and insertion, the I/O
// words, and the predefined names entered before the first declaration.
// The driver builds the list; the type translator looks up and appends;
// the declaration driver calls PREDEF once.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// In TypeNo order.
constexpr std::string_view PREDEFTYPES[NPREDEFTYPES] = {
    "ARRAY",   "STRING",   "RECORD", "SET",  "FILE",    "REAL",  "INTEGER",
    "BOOLEAN", "CHAR",     "GPOINTER", "BYTE", "CONT",  "TEXT",  "WORD",
    "LONGINT", "POINTER",  "FREQ",   "DOUBLE", "STR80", "RET",   "BEGIN"};

constexpr bool PREDEFINORDER() {
  constexpr std::pair<TypeNo, std::string_view> CHECK[] = {
      {T_ARRAY, "ARRAY"}, {T_FILE, "FILE"}, {T_REAL, "REAL"}, {T_INTEGER, "INTEGER"},
      {T_CHAR, "CHAR"},   {T_POINTER, "POINTER"}, {T_BEGIN, "BEGIN"}};
  for (const auto& [no, name] : CHECK)
    if (PREDEFTYPES[no - 1] != name) return false;
  return true;
}
static_assert(PREDEFINORDER(), "the type list in TypeNo order");

constexpr std::string_view IOWORDS[] = {"WRITELN", "WRITE", "READLN", "READ", "FILE"};

struct Predef {
  const char* name;
  const char* type;
  int code;
};

// In entry order; RN and every later name are arrays of one subscript.
const Predef PREDEFNAMES[] = {
    {"NIL", "POINTER", 4},       {"NT", "PRE", 6},
    {"STAY", "PRE", 6},          {"IT", "PRE", 6},
    {"TIME", "REAL", 6},         {"GT", "REAL", 6},
    {"ET", "REAL", 6},           {"XT", "REAL", 6},
    {"O_GT", "REAL", 6},         {"O_ET", "REAL", 6},
    {"O_XT", "REAL", 6},         {"EABS", "REAL", 6},
    {"EREL", "REAL", 6},         {"USE", "PRE", 2},
    {"O_USE", "PRE", 2},         {"NREP", "WORD", 2},
    {"NLIST", "WORD", 2},        {"NUMBER", "WORD", 2},
    {"O_NUMBER", "WORD", 2},     {"ICOPY", "WORD", 2},
    {"IEV", "WORD", 2},          {"INO", "WORD", 2},
    {"MAXWORD", "WORD", 2},      {"SSEG", "WORD", 2},
    {"SPTR", "WORD", 2},         {"DSEG", "WORD", 2},
    {"MAXSEL", "WORD", 2},       {"MAXREAL", "REAL", 2},
    {"PI", "REAL", 2},           {"MAXINTEGER", "INTEGER", 2},
    {"WINDOWWIDTH", "WORD", 2},  {"WINDOWHEIGHT", "WORD", 2},
    {"MAXLONGINT", "LONGINT", 2}, {"SYNC", "BOOLEAN", 2},
    {"EXTREL", "BOOLEAN", 2},    {"SENT", "BOOLEAN", 2},
    {"RN", "ARRAY", 2},          {"_FL", "ARRAY", 2},
    {"_LL", "ARRAY", 2},         {"TITLE", "STRING", 2},
    {"NODE", "STRING", 2},       {"O_NODE", "STRING", 2},
    {"NOR", "STRING", 2},        {"OUTF", "FILE", 2},
    {"OUTPUT", "FILE", 2},       {"NSFILE", "BYTE", 2},
    {"EVP", "BYTE", 2},          {"LST", "BYTE", 2},
    {"LPT1", "TEXT", 2},         {"_FF", "POINTER", 2},
    {"HEAPORG", "POINTER", 2},   {"HEAPPTR", "POINTER", 2},
    {"HEAPEND", "POINTER", 2},   {"PMESS", "GPOINTER", 2},
    {"O_PMESS", "GPOINTER", 2}};

}  // namespace

void BUILDTYPES(Compiler& c) {
  Names& n = c.names;
  n.TYPES.clear();
  n.TYPEINDEX.clear();
  for (std::string_view name : PREDEFTYPES) {
    TypeRecord& t = n.TYPES.emplace_back();
    t.NOM = t.TIPO = std::string(name);
    n.TYPEINDEX.emplace(t.NOM, static_cast<int>(n.TYPES.size()));
  }
  n.LASTTYPE = &n.TYPES.back();
  const int codes5to11[] = {6, 2, 1, 1, 4, 1, 6};  // FILE .. BYTE
  for (int& code : n.TYPECODE) code = 0;
  for (int i = 0; i < 7; ++i) n.TYPECODE[5 + i] = codes5to11[i];
  for (int i = 19; i <= 31; ++i) n.TYPECODE[i] = 1;
}

// Model types past the table are no different from those in it.
int TYPECODEOF(const Compiler& c, int typeno) {
  if (typeno < 1) return 0;
  if (typeno > 31) return 1;
  return c.names.TYPECODE[typeno];
}

const TypeRecord* FINDTYPE(const Compiler& c, std::string_view name) {
  const Names& n = c.names;
  auto it = n.TYPEINDEX.find(std::string(name.substr(0, NAMEMAX)));
  return it == n.TYPEINDEX.end() ? nullptr : &n.TYPES[it->second - 1];
}

TypeRecord* FINDTYPE(Compiler& c, std::string_view name) {
  return const_cast<TypeRecord*>(FINDTYPE(static_cast<const Compiler&>(c), name));
}

TypeRecord* TYPELOOK(Compiler& c) {
  Names& n = c.names;
  std::string key = CUT(c.src.IDENT, NAMEMAX);
  c.src.NOTFOUND = true;
  auto it = n.TYPEINDEX.find(key);
  n.TYPEREC = it == n.TYPEINDEX.end() ? nullptr : &n.TYPES[it->second - 1];
  n.TYPENO = n.TYPEREC ? it->second : static_cast<int>(n.TYPES.size()) + 1;
  if (n.TYPEREC) c.src.NOTFOUND = false;
  if (c.drv.TRACE) {  // the names the search passed, as a walk of the list
    for (int i = 0; i < n.TYPENO && i < static_cast<int>(n.TYPES.size()); ++i)
      *c.drv.out << ' ' << n.TYPES[i].NOM;
  }
  TRACELN(c);
  if (n.TYPEREC)
    TRACELN(c, "HALLADO TIPO ", n.TYPEREC->NOM);
  else
    TRACELN(c, "NO HALLADO");
  TRACEWAIT(c);
  return n.TYPEREC;
}

void TYPEADD(Compiler& c, std::string_view name, std::string_view base) {
  Names& n = c.names;
  TypeRecord& t = n.TYPES.emplace_back();
  t.NOM = CUT(name, NAMEMAX);
  n.TYPEINDEX.emplace(t.NOM, static_cast<int>(n.TYPES.size()));
  t.TIPO = CUT(base, NAMEMAX);
  t.BOUNDS = n.BOUNDS;
  t.NSUB = n.NSUB;
  t.TYPEL = n.TYPEL;
  n.LASTTYPE = &t;
  TRACELN(c, "AGREGADO TIPO ", t.NOM, " DE TIPO BASE ", t.TIPO);
}

void IOWORD(Compiler& c) {
  for (std::string_view w : IOWORDS) {
    if (c.src.IDENT == w) {
      c.src.NOTFOUND = false;
      return;
    }
  }
}

void PREDEF(Compiler& c) {
  Names& n = c.names;
  n.DIRECTADD = true;
  n.NSUB = 0;
  for (const Predef& p : PREDEFNAMES) {
    std::string_view name = p.name;
    if (name == "RN"sv) n.NSUB = 1;
    c.src.TIPO = p.type;
    n.DIRECTCODE = p.code;
    c.src.IDENT = p.name;
    RETOKEN(c.src);
    STVNAME(c, true, c.src.IDENT);
    if (name == "PMESS"sv || name == "O_PMESS"sv) n.NEWENTRY->TYPTYP = "POINTER";
  }
  n.DIRECTADD = false;
  PRINTTREE(c, n.ROOT);
  TRACEWAIT(c);
}
