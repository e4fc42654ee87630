// Function calls met while classifying a word: built-in functions
// (PRFUNPG) and user functions or procedure variables (PRFUNP); the table
// list lookup. Called by the classifier with IDENT on the function's name
// and K past it; each reads the whole call, leaves K past it and marks it
// as an operand read. Most calls pass through by transmission; a random
// distribution without a stream gets ",1" and a function over a network
// list becomes an element of a runtime array. Reads KWNO (FUNCLOOK) and
// VARCOUNT (the parameter count of a user function).
#include "ground/compiler.h"
#include "symbols/names.h"
#include "source/source.h"
#include "symbols/keywords.h"
#include "expr/expr.h"

namespace {

// The default stream closing a random distribution's call.
constexpr const char* DEFAULTSTREAM = ",1)";

// Runtime arrays of the functions over a network list, "." the list. The
// model's tables keep no shortest length: MINL asks the runtime for it.
struct ListFunction {
  int no;
  const char* text;
};
constexpr ListFunction LISTFUNCTIONS[] = {
    {F_LL, "_l^[.]"},     {F_MAXL, "_lm^[.]"}, {F_MINL, "_minl(.)"},
    {F_MEDL, "_lp^[.]"},  {F_DMEDL, "_de^[.]"}, {F_ENTR, "_en^[.]"},
    {F_TFREE, "_tl^[.]"}, {F_MSTL, "_tpp^[.]"}, {F_DMSTL, "_dp^[.]"},
    {F_PLAST, "_ll[.]"},  {F_PFIRST, "_fl[.]"}};

std::string LISTTEXT(int no, const std::string& list) {
  for (const ListFunction& f : LISTFUNCTIONS) {
    if (f.no != no) continue;
    std::string t;
    for (const char* p = f.text; *p; ++p) t += *p == '.' ? list : std::string(1, *p);
    return t;
  }
  return "";
}

// What a call's arguments change, put back when the call is read: nested
// calls keep the outer list's commas, and the arguments are not the
// statement's first word.
struct CALLSTATE {
  Compiler& c;
  bool INARGS, STMTSTART;
  explicit CALLSTATE(Compiler& cc)
      : c(cc), INARGS(cc.expr.INARGS), STMTSTART(cc.src.STMTSTART) {
    c.src.STMTSTART = false;
  }
  ~CALLSTATE() {
    c.expr.INARGS = INARGS;
    c.src.STMTSTART = STMTSTART;
  }
  CALLSTATE(const CALLSTATE&) = delete;
  CALLSTATE& operator=(const CALLSTATE&) = delete;
};

// "(" after the name.
void OPENCALL(Compiler& c) {
  RECID(c);
  if (c.src.IDREAD || c.src.CH != '(') ERROR(c, "( missing in function");
  c.src.K++;
}

// Up to n arguments; stops on ")" or after the n-th. Returns the count.
int ARGUMENTS(Compiler& c, int n) {
  Source& s = c.src;
  int read = 0;
  do {
    PREXP(c);
    read++;
  } while (!s.IDREAD && s.CH != ')' && read < n);
  return read;
}

// After the last argument of a random distribution:
//   ")" -> ",1)" (the default stream) | "," stream ")"   stream 1..10
void STREAM(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  if (s.IDREAD || s.CH != ',') {
    if (!s.IDREAD && s.CH == ')') {
      SENDSRC(c, s.K - 1, o.CURCH);
      SENDPIECE(c, o.CURCH, DEFAULTSTREAM, false);
      o.TRSTART = s.K;
    }
    return;
  }
  RECID(c);
  EXPECTINTEGER(c, "integer or ) expected");
  if (s.IDENT.size() > 2 || std::stoi(s.IDENT) < 1 || std::stoi(s.IDENT) > 10)
    ERROR(c, "invalid seed number");
  RECID(c);
  s.K++;
}

// listfunction "(" ("EL_" | "IL_") node ... ")"  ->  runtime array element
void LISTFUNCTION(Compiler& c, int no) {
  Source& s = c.src;
  Out& o = c.out;
  SENDSRC(c, s.KSTART, o.CURCH);
  o.TRANSMIT = false;
  o.TRSTART = s.K;
  OPENCALL(c);
  std::string list = LISTREF(c);
  SENDPIECE(c, o.CURCH, LISTTEXT(no, list), false);
  RECID(c);
  MUSTBEONE(c, ")", ") expected in function");
  s.K++;
  o.TRSTART = s.K;
}

}  // namespace

// Positions count from 0; the first entry with the name wins.
bool TABLOOK(Compiler& c, bool second) {
  const std::vector<TableName>& t = c.expr.TABLES;
  for (size_t i = 0; i < t.size(); ++i) {
    if ((second ? t[i].NOM2 : t[i].NOM) == c.src.IDENT) {
      c.expr.TABPOS = static_cast<int>(i);
      return true;
    }
  }
  c.expr.TABPOS = static_cast<int>(t.size());
  return false;
}

// call -> name                                  (no arguments)
//       | name "(" expression {"," expression} [ "," stream ] ")"
//       | listfunction "(" list ")"
void PRFUNPG(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "FUNCION P O G ", s.IDENT);
  TRACEWAIT(c);
  int no = c.kw.KWNO;
  int n = FUNCARGS(no);
  c.names.NOMFUNPG = CUT(s.IDENT, NAMEMAX);
  {
    CALLSTATE keep(c);
    if (n < 0) {
      LISTFUNCTION(c, no);
    } else if (n > 0) {
      c.expr.INARGS = true;
      OPENCALL(c);
      int read = ARGUMENTS(c, n);
      if (no <= NRANDDIST && read == n) STREAM(c);
      if (s.IDREAD || s.CH != ')') ERROR(c, "missing ) or erroneous number of parameters");
      if (read != n) ERROR(c, "erroneous number of parameters");
    }
  }
  s.IDREAD = true;
  RETOKEN(s);
  c.out.TRANSMIT = true;
  c.names.NOMFUNPG = " ";
  TRACELN(c, "PROCESADA FUNCION P O G");
}

// call -> name [ "(" expression {"," expression} ")" ]   at most n arguments
// A function without parameters is written without parentheses.
void PRFUNP(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "FUNCION PASCAL DEL USUARIO ", s.IDENT);
  c.names.NOMFUNPG = CUT(s.IDENT, NAMEMAX);
  int n = s.VARCOUNT;
  if (n > 0) {
    CALLSTATE keep(c);
    c.expr.INARGS = true;
    OPENCALL(c);
    ARGUMENTS(c, n);
    if (s.IDREAD || s.CH != ')') ERROR(c, ") missing or erroneous number of parameters");
    s.IDREAD = true;
    RETOKEN(s);
  }
  c.names.NOMFUNPG = " ";
}
