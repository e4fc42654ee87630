// Keyword tables and their lookups.
// Reads IDENT (upper-cased by the scanner); writes NOTFOUND and the numbers
// IDX, STMTNO, KWNO, and the valued-function references. Used by the
// classifier, the declaration driver and the statement and expression
// translators, which dispatch on the numbers: entries never move.
// Blank and empty entries only pad the tables to the sizes the numbers
// depend on; they never match, not even an empty IDENT.
#include "symbols/keywords.h"

#include <array>
#include <cstdint>

#include "ground/compiler.h"

namespace {

using SV = std::string_view;

// Entry 0 is unused so that t[i] is entry i.
constexpr SV DECLCLASSTAB[NDECLCLASS + 1] = {
    "",         "TYPE",       "VAR",        "CONST",      "GFUNCTIONS",
    "MESSAGES", "NODES",      "TABLES",     "STATISTICS", "PROCEDURES",
    "FACTORS",  "RESPONSES",  "DBTABLES",   "USES",       "END.",
    " "};

constexpr SV STMTTAB[NSTMTWORD + 1] = {
    "",     "BEGIN", "IF",    "WHILE",  "FOR",     "REPEAT",
    "CASE", "GOTO",  "UNTIL", "DONODE", "DOEVENT", ""};

constexpr SV RESTAB[NRESWORD + 1] = {
    "",   "END", "OR",  "AND", "THEN", "ELSE", "DO", "TO",
    "DOWNTO", "OF", "MOD", "NOT", "DIV", "XOR", "IN", ""};

constexpr SV INSTTAB[NINSTWORD + 1] = {
    "",
    "ACT",       "AGRE",        "ASSEMBLE",  "COUNT",      "CREATE",
    "ENDSIMUL",  "EXAM",        "EXTR",      "FIFO",       "BEGINSCAN",
    "__GO",      "__GOALL",     "LIFO",      "MOVE",       "ORDER",
    "POINT",     "PREEMPTION",  "SCAN",      "SELECT",     "SENDTO",
    "SENDTOF",   "SYNCHRONIZE", "SORT",      "COPYMESS",   "__STOP",
    "__STOPALL", "STAT",        "FREE",      "NOTFREE",    "REL",
    "DEACT",     "TAB",         "CLRSTAT",   "STOPSCAN",   "UPDATE",
    "TRANS",     "REPLIC",      "EXTFEL",    "PUTFEL",     "METHOD",
    "DISASSEMBLE", "GRAPH",     "DESTROY",   "PAUSE",      "TRACE",
    "UNTRACE",   "ASSI",        "INTI",      "OUTG",       "RETARD",
    "MENU",      "BLOCK",       "DEBLOCK",   "DISFEL",     "LOAD",
    "UNLOAD",    "DBUPDATE",    " ",         " "};

struct CountedWord {
  SV w;
  int args;  // -1: a function over a list of the network
};

constexpr CountedWord FUNCTAB[NFUNCWORD + 1] = {
    {"", 0},
    {"BIN", 2},        {"ERLG", 2},     {"EXPO", 1},     {"GAUSS", 2},
    {"NORM", 2},       {"RANDOM", 0},   {"TRIA", 3},     {"UNIF", 2},
    {"UNIFI", 2},      {"BER", 1},      {"BETA", 2},     {"GAMMA", 2},
    {"POISSON", 1},    {"LOGNORM", 2},  {"WEIBULL", 2},  {"LL", -1},
    {"ORD", 1},        {"TRUNC", 1},    {"ABS", 1},      {"ARCTAN", 1},
    {"COS", 1},        {"EXP", 1},      {"INT", 1},      {"LN", 1},
    {"ROUND", 1},      {"SIN", 1},      {"SQRT", 1},     {"READKEY", 0},
    {"MAX", 2},        {"MIN", 2},      {"MODUL", 2},    {"PFIRST", -1},
    {"PLAST", -1},     {"RND", 1},      {"KEYPRESSED", 0}, {"NOSOUND", 0},
    {"OFS", 1},        {"SEG", 1},      {"MINI", 2},     {"MAXI", 2},
    {"MAXL", -1},      {"MINL", -1},    {"MEDL", -1},    {"DMEDL", -1},
    {"ENTR", -1},      {"TFREE", -1},   {"MSTL", -1},    {"DMSTL", -1},
    {"EOF", 1},        {"VOIDFEL", 0},  {"WHEREX", 0},   {"WHEREY", 0},
    {"LENGTH", 1},     {"FILESIZE", 1}, {"COPY", 3},     {"", 0}};

constexpr CountedWord PPROCTAB[NPPROCWORD + 1] = {
    {"", 0},
    {"APPEND", 1},     {"ASSIGN", 2},    {"CLOSE", 1},     {"DELAY", 1},
    {"FILEPOS", 1},    {"FILESIZE", 1},  {"OPEN", 1},      {"RESET", 1},
    {"REWRITE", 1},    {"SEEK", 2},      {"GOTOXY", 2},    {"GETTIME", 4},
    {"GETDATE", 4},    {"SOUND", 1},     {"NEW", 1},       {"DISPOSE", 1},
    {"BLOCKWRITE", 3}, {"BLOCKREAD", 3}, {"RELEASE", 1},   {"CLRSCR", 0},
    {"STR", 2},        {"VAL", 3},       {"TRUNCATE", 1},  {"CLOSEGRAPH", 0},
    {"OUTTEXTXY", 3},  {"UPCASE", 1},    {"LENGTH", 1}};

constexpr SV COLORTAB[NCOLORWORD + 1] = {
    "",          "BLACK",      "BLUE",      "GREEN",    "CYAN",
    "RED",       "MAGENTA",    "BROWN",     "LIGHTGRAY", "DARKGRAY",
    "LIGHTBLUE", "LIGHTGREEN", "LIGHTCYAN", "LIGHTRED", "LIGHTMAGENTA",
    "YELLOW",    "WHITE",      " "};

constexpr SV FUNVCLASSTAB[NFUNVCLASS + 1] = {
    "", "POLYG", "SPLINE", "STAIR", "DISC", "FREQ", " "};

constexpr bool FILLER(SV e) { return e.empty() || e == " "; }

// Every entry fits the table's width, and fillers stand only where given.
template <size_t N>
constexpr bool FITS(const SV (&t)[N], size_t width, int firstfiller) {
  for (size_t i = 1; i < N; ++i) {
    if (t[i].size() > width) return false;
    if (FILLER(t[i]) != (int(i) >= firstfiller)) return false;
  }
  return true;
}
template <size_t N>
constexpr bool FITS(const CountedWord (&t)[N], size_t width, int firstfiller) {
  for (size_t i = 1; i < N; ++i) {
    if (t[i].w.size() > width) return false;
    if (FILLER(t[i].w) != (int(i) >= firstfiller)) return false;
  }
  return true;
}

static_assert(FITS(DECLCLASSTAB, 10, 15));
static_assert(FITS(STMTTAB, 7, 11));
static_assert(FITS(RESTAB, 7, 15));
static_assert(FITS(INSTTAB, 11, 58));
static_assert(FITS(FUNCTAB, 10, 56));
static_assert(FITS(PPROCTAB, 10, 28));
static_assert(FITS(COLORTAB, 12, 17));
static_assert(FITS(FUNVCLASSTAB, 23, 6));

// The numbers translators dispatch on, spot-checked at both ends.
static_assert(DECLCLASSTAB[DC_END] == "END." && DECLCLASSTAB[DC_USES] == "USES");
static_assert(DECLCLASSTAB[DC_PROCEDURES] == "PROCEDURES");
static_assert(STMTTAB[SW_DOEVENT] == "DOEVENT" && STMTTAB[SW_UNTIL] == "UNTIL");
static_assert(RESTAB[RW_IN] == "IN" && RESTAB[RW_DOWNTO] == "DOWNTO");
static_assert(INSTTAB[I_DBUPDATE] == "DBUPDATE" && INSTTAB[I_STOP] == "__STOP");
static_assert(INSTTAB[I_GO] == "__GO" && INSTTAB[I_STOPALL] == "__STOPALL");
static_assert(INSTTAB[I_DEACT] == "DEACT" && INSTTAB[I_RETARD] == "RETARD");
static_assert(INSTTAB[I_DISASSEMBLE] == "DISASSEMBLE");
static_assert(FUNCTAB[F_COPY].w == "COPY" && FUNCTAB[F_WEIBULL].w == "WEIBULL");
static_assert(FUNCTAB[F_WHEREX].w == "WHEREX" && FUNCTAB[F_LL].w == "LL");
static_assert(FUNCTAB[F_DMSTL].w == "DMSTL" && FUNCTAB[F_PFIRST].w == "PFIRST");
static_assert(NRANDDIST == F_WEIBULL);
static_assert(PPROCTAB[P_LENGTH].w == "LENGTH" && PPROCTAB[P_RESET].w == "RESET");
static_assert(PPROCTAB[P_CLRSCR].w == "CLRSCR");
static_assert(FUNVCLASSTAB[FC_FREQ] == "FREQ" && FUNVCLASSTAB[FC_SPLINE] == "SPLINE");
static_assert(COLORTAB[14] == "LIGHTMAGENTA" && COLORTAB[16] == "WHITE");
static_assert(DECLCLASSTAB[15] == " " && COLORTAB[17] == " ");
static_assert(INSTTAB[58] == " " && INSTTAB[59] == " " && FUNVCLASSTAB[6] == " ");

// Not-found numbers: one past the last entry compared; the reserved words
// and the classes stop on their last entry instead.
static_assert(STMTNONE == NSTMTWORD && INSTNONE == NINSTWORD + 1);
static_assert(FUNCNONE == NFUNCWORD + 1 && PPROCNONE == NPPROCWORD + 1);
static_assert(RESNONE == NRESWORD && DECLCLASSNONE == NDECLCLASS);
static_assert(FUNVCLASSNONE == NFUNVCLASS);

constexpr SV NAME(SV e) { return e; }
constexpr SV NAME(const CountedWord& e) { return e.w; }

// Entries by length and first letter: a lookup compares only the entries
// that share both with the word (rarely more than one). Built once, at
// compile time; a bucket's chain runs in table order.
constexpr int BUCKET(SV w) { return (w[0] & 31) * 16 + static_cast<int>(w.size() & 15); }
template <size_t N>
struct Index {
  std::array<std::uint8_t, 32 * 16> first{};  // bucket: its first entry, 0 for none
  std::array<std::uint8_t, N> next{};         // entry: the next of its bucket, 0 for none
};
template <class T, size_t N>
constexpr Index<N> INDEX(const T (&t)[N]) {
  static_assert(N <= 256);
  Index<N> x{};
  for (int i = static_cast<int>(N) - 1; i >= 1; --i) {
    if (FILLER(NAME(t[i]))) continue;  // fillers never match
    int b = BUCKET(NAME(t[i]));
    x.next[i] = x.first[b];
    x.first[b] = static_cast<std::uint8_t>(i);
  }
  return x;
}

constexpr auto DECLCLASSINDEX = INDEX(DECLCLASSTAB);
constexpr auto STMTINDEX = INDEX(STMTTAB);
constexpr auto RESINDEX = INDEX(RESTAB);
constexpr auto INSTINDEX = INDEX(INSTTAB);
constexpr auto FUNCINDEX = INDEX(FUNCTAB);
constexpr auto PPROCINDEX = INDEX(PPROCTAB);
constexpr auto COLORINDEX = INDEX(COLORTAB);
constexpr auto FUNVCLASSINDEX = INDEX(FUNVCLASSTAB);

// Position of w in table t (entries 1..N-1), 0 when absent; the first of
// equal entries wins.
template <class T, size_t N>
int SEEK(const T (&t)[N], const Index<N>& x, SV w) {
  if (FILLER(w)) return 0;
  for (int i = x.first[BUCKET(w)]; i != 0; i = x.next[i])
    if (NAME(t[i]) == w) return i;
  return 0;
}

// Stores a lookup's number: the position found, or the miss number.
int FOUNDOR(Compiler& c, int pos, int none) {
  if (pos == 0) return none;
  c.src.NOTFOUND = false;
  return pos;
}

SV ENTRY(const SV* t, int n, int i) { return i >= 1 && i <= n ? t[i] : SV(); }

}  // namespace

void RESWORD(Compiler& c) {
  c.kw.IDX = FOUNDOR(c, SEEK(RESTAB, RESINDEX, c.src.IDENT), RESNONE);
}

void STMTWORD(Compiler& c) {
  c.kw.STMTNO = FOUNDOR(c, SEEK(STMTTAB, STMTINDEX, c.src.IDENT), STMTNONE);
}

void INSTLOOK(Compiler& c) {
  TRACELN(c, "BUSCA ", c.src.IDENT, " EN TABLA INST.Y PROC.TALVEN");
  int pos = 0;
  if (!c.drv.TRACE) {
    pos = SEEK(INSTTAB, INSTINDEX, c.src.IDENT);
  } else {  // the trace shows every entry compared
    for (int i = 1; i <= NINSTWORD && pos == 0; ++i) {
      TRACELN(c, i, ' ', INSTTAB[i]);
      if (!FILLER(INSTTAB[i]) && INSTTAB[i] == c.src.IDENT) pos = i;
    }
  }
  c.kw.KWNO = FOUNDOR(c, pos, INSTNONE);
}

void PPROCLOOK(Compiler& c) {
  TRACELN(c, "BUSCA ", c.src.IDENT, " EN TABLA PROC.PASCAL");
  c.kw.KWNO = FOUNDOR(c, SEEK(PPROCTAB, PPROCINDEX, c.src.IDENT), PPROCNONE);
}

void FUNCLOOK(Compiler& c) {
  TRACELN(c, "BUSCAR FUNCION G o P ", c.src.IDENT);
  c.kw.KWNO = FOUNDOR(c, SEEK(FUNCTAB, FUNCINDEX, c.src.IDENT), FUNCNONE);
  TRACELN(c, c.src.IDENT, "en ", c.kw.KWNO);
}

void COLORNO(Compiler& c) {
  int pos = SEEK(COLORTAB, COLORINDEX, c.src.IDENT);
  c.kw.KWNO = pos == 0 ? NCOLORWORD : pos;
  if (pos == 0) ERROR(c, "erroneous color name");
}

void FUNVLOOK(Compiler& c) {
  TRACELN(c, "BUSCA FUNCION VALUADA");
  Keywords& kw = c.kw;
  kw.FUNVFOUND = NOFUNV;
  kw.FUNVLAST = static_cast<int>(kw.FUNV.size()) - 1;  // a miss compared all
  auto it = kw.FUNVINDEX.find(c.src.IDENT);
  if (it == kw.FUNVINDEX.end()) return;
  kw.FUNVFOUND = kw.FUNVLAST = it->second;
  c.src.NOTFOUND = false;
}

ValuedFunction& FOUNDFUNV(Compiler& c) { return c.kw.FUNV[c.kw.FUNVFOUND]; }

ValuedFunction& FUNVADD(Compiler& c, std::string_view name) {
  Keywords& kw = c.kw;
  kw.FUNV.emplace_back();
  kw.FUNV.back().NOM = CUT(name, 23);
  kw.FUNVINDEX.emplace(kw.FUNV.back().NOM, static_cast<int>(kw.FUNV.size()) - 1);
  return kw.FUNV.back();
}

int DECLCLASSNO(std::string_view w) {
  int pos = SEEK(DECLCLASSTAB, DECLCLASSINDEX, w);
  return pos == 0 ? DECLCLASSNONE : pos;
}

int FUNVCLASSNO(std::string_view w) {
  int pos = SEEK(FUNVCLASSTAB, FUNVCLASSINDEX, w);
  return pos == 0 ? FUNVCLASSNONE : pos;
}

std::string_view DECLCLASSENTRY(int i) { return ENTRY(DECLCLASSTAB, NDECLCLASS, i); }
std::string_view STMTENTRY(int i) { return ENTRY(STMTTAB, NSTMTWORD, i); }
std::string_view RESENTRY(int i) { return ENTRY(RESTAB, NRESWORD, i); }
std::string_view INSTENTRY(int i) { return ENTRY(INSTTAB, NINSTWORD, i); }
std::string_view COLORENTRY(int i) { return ENTRY(COLORTAB, NCOLORWORD, i); }
std::string_view FUNVCLASSENTRY(int i) { return ENTRY(FUNVCLASSTAB, NFUNVCLASS, i); }

std::string_view FUNCENTRY(int i) {
  return i >= 1 && i <= NFUNCWORD ? FUNCTAB[i].w : SV();
}
std::string_view PPROCENTRY(int i) {
  return i >= 1 && i <= NPPROCWORD ? PPROCTAB[i].w : SV();
}
int FUNCARGS(int i) { return i >= 1 && i <= NFUNCWORD ? FUNCTAB[i].args : 0; }
int PPROCARGS(int i) { return i >= 1 && i <= NPPROCWORD ? PPROCTAB[i].args : 0; }
