// Frequency tables and array assignments. A statement that starts with a
// table of the TABLES class sets the table's classes (its row of _df); an
// array assignment ("#" or ASSI) fills an array, or the capacities of a
// multiple node, from a list of constants. The constants become a typed
// constant of PRU.PAS, since Pascal takes none inside a statement. Entered
// from PRINS and PRINST; keeps the most classes of a table (FREQMAX, with
// its copy Gen::ITMX, read by the INIT pass) and the count of array
// constants.
#include <algorithm>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "stmt/stmt.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; the placeholders are filled in.
constexpr const char* SEMI = ";";
// A table's row of _df: '*' the table, '/' lower bound, classes, width.
constexpr const char* FREQROW[] = {"_df[*,1]:=/;", "_df[*,2]:=/;", "_df[*,3]:=/;"};
// Array assignment: the constant '*' k, '/' the name; its declaration in
// PRU.PAS, then the copy, dimension by dimension ('*' its number).
constexpr const char* CONSTNAME = "_c*_/";
constexpr const char* CONSTDECL = "const *:array[/] OF #=";  // name, bounds, type
constexpr const char* NODEELEM = "REAL";
constexpr const char* BOUND = "*../";
constexpr const char* INDEX = "_k*";
constexpr const char* COMMA = ",";
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* FORDIM = "for _k*:=/ to # do ";
// '*' the array or node, '/' the index, '#' the constant.
constexpr const char* COPYELEM = "*[/]:=#[/];";
constexpr const char* COPYCAP[] = {"begin m_*[/]:=#[/];", "f_*[/]:=m_*[/]; u_*[/]:=0 end;"};
constexpr const char* ENDCOPY = " end";

// value -> ["+" | "-"] number; a sign is only taken before a number.
std::string INITIALVALUE(Compiler& c) {
  Source& s = c.src;
  READSIGNED(c);
  EXPECTNUMBER(c, "initial value expected");
  return s.IDENT;
}

// The end of a statement: ";" or before END or ELSE, where transmission
// resumes.
void STATEMENTEND(Compiler& c, const char* msg) {
  Source& s = c.src;
  RECID(c);
  if (s.IDREAD) {
    ONEWORD(c, {"END", "ELSE"}, msg);
    c.out.TRSTART = s.KSTART;
  } else {
    MUSTBE(c, ';');
    s.K++;
    SEND(c, SEMI, false);
    c.out.TRSTART = s.K;
  }
}

struct Range {
  std::string lo, hi;
};

// "[" lo ".." hi {"," lo ".." hi} "]": integer bounds of every dimension.
std::vector<Range> BOUNDS(Compiler& c) {
  Source& s = c.src;
  std::vector<Range> r;
  auto bound = [&] {
    READSIGNED(c);
    if (!s.ISINT) ERROR(c, "invalid subscript ");  // "1.." leaves ISNUM off
    return s.IDENT;
  };
  do {
    s.K++;
    Range d;
    d.lo = bound();
    if (s.at(s.K) != '.' || s.at(s.K + 1) != '.') ERROR(c, ".. expected ");
    s.K += 2;
    d.hi = bound();
    r.push_back(d);
    RECID(c);
    MUSTBEONE(c, ",]", "] or , expected");
  } while (s.CH == ',');
  s.K++;
  return r;
}

}  // namespace

// table ":=" lower "," classes "," width: the classes start at lower and
// are width wide; two more count what falls below and above them.
void PRFREQTAB(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  std::string name = s.IDENT;
  std::string pos = std::to_string(c.expr.TABPOS + 1);
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRANSMIT = false;
  PRASIG(c);
  SEND(c, FILLIN(FREQROW[0], {{'*', pos}, {'/', INITIALVALUE(c)}}), false);
  RECID(c);
  MUSTBE(c, ',');
  s.K++;
  RECID(c);
  // A count too long for an integer is no count of classes.
  if (!s.ISNUM || s.IDENT.size() > 9) ERROR(c, "initial value expected");
  long classes = std::stol(s.IDENT) + 2;
  t.FREQMAX = static_cast<int>(std::max<long>(t.FREQMAX, classes));
  c.gen.ITMX = std::max(c.gen.ITMX, t.FREQMAX);
  SEND(c, FILLIN(FREQROW[1], {{'*', pos}, {'/', std::to_string(classes)}}), false);
  RECID(c);
  MUSTBE(c, ',');
  s.K++;
  std::string w = INITIALVALUE(c);
  // A class of no width counts nothing, and TAB would divide by it.
  if (w[0] == '-' || std::stod(w) <= 0) ERROR(c, "interval wide must be positive");
  SEND(c, FILLIN(FREQROW[2], {{'*', pos}, {'/', w}}), false);
  if (t.INEXPER) t.EXPLIST.push_back({CUT(name, EXPNAMEMAX), 'T', pos});
  RECID(c);
  if (s.IDREAD) {
    ONEWORD(c, {"END", "ELSE"}, "END or ELSE expected");
    c.out.TRSTART = s.KSTART;
  } else {
    MUSTBE(c, ';');
    s.K++;
    c.out.TRSTART = s.K;
  }
  c.out.TRANSMIT = true;
}

// "#" name "[" bounds "]" ":=" "(" constants ")": the constants become
// const _c<k>_name in PRU.PAS, and the statement copies them element by
// element; a multiple node gets its capacities, free and used as in INIT.
void PRARRAYASG(Compiler& c, std::string_view) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  c.out.TRANSMIT = false;
  RECID(c);
  std::string name = s.IDREAD ? s.IDENT : std::string(1, s.CH);
  std::string elem;
  bool node = false;
  s.NOTFOUND = true;
  const NameNode* e = s.IDREAD ? BUSIDAR1(c) : nullptr;
  if (e && (e->TIPO == "ARRAY"sv || e->TYPTYP == "ARRAY"sv)) {
    elem = e->TYPEL;
  } else {
    s.NOTFOUND = true;
    if (!s.IDREAD || !BUSNODE(c)) ERROR(c, "not defined array or node " + name);
    node = true;
    elem = NODEELEM;
  }
  RECID(c);
  MUSTBE(c, '[');
  std::vector<Range> dims = BOUNDS(c);
  RECID(c);
  MUSTBEPAIR(c, ":=");
  s.K += 2;
  RECID(c);
  MUSTBE(c, '(');

  std::string k = std::to_string(++t.NARRAYASG);
  std::string cname = FILLIN(CONSTNAME, {{'*', k}, {'/', name}});
  std::string bounds, index;
  for (size_t i = 0; i < dims.size(); ++i) {
    if (i) {
      bounds += COMMA;
      index += COMMA;
    }
    bounds += FILLIN(BOUND, {{'*', dims[i].lo}, {'/', dims[i].hi}});
    index += FILLIN(INDEX, {{'*', std::to_string(i + 1)}});
  }
  // The constants go to PRU.PAS as they are read, over lines if need be.
  SENDPIECE(c, CH_PRU, FILLIN(CONSTDECL, {{'*', cname}, {'/', bounds}, {'#', elem}}), true);
  {
    CHANNELFOR pru(c.out, CH_PRU);
    c.out.TRSTART = s.K;
    c.out.TRANSMIT = true;
    PRCA(c, elem);
    c.out.TRANSMIT = false;
    MUSTBE(c, ')');
    s.K++;
    SENDSRC(c, s.K, CH_PRU);
    SENDPIECE(c, CH_PRU, SEMI, false);
    FLUSHOUT(c, CH_PRU);
  }

  SEND(c, BEGINBLOCK, true);
  for (size_t i = 0; i < dims.size(); ++i)
    SEND(c, FILLIN(FORDIM, {{'*', std::to_string(i + 1)}, {'/', dims[i].lo}, {'#', dims[i].hi}}),
         false);
  if (node) {
    SEND(c, FILLIN(COPYCAP[0], {{'*', name}, {'/', index}, {'#', cname}}), false);
    SEND(c, FILLIN(COPYCAP[1], {{'*', name}, {'/', index}}), false);
  } else {
    SEND(c, FILLIN(COPYELEM, {{'*', name}, {'/', index}, {'#', cname}}), false);
  }
  SEND(c, ENDCOPY, false);
  STATEMENTEND(c, "END or ELSE expected");
  c.out.TRANSMIT = true;
}
