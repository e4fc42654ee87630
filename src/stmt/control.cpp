// Pascal control statements and procedure calls: checked here, passed to
// the output by transmission. DONODE and DOEVENT put a generated guard in
// front of their statement in place of the keyword.
// Reads and raises BEGINDEPTH, CASEDEPTH, REPEATDEPTH; sets INARGS while
// arguments are read. Entered from PRINS with the keyword just read.
#include "ground/compiler.h"
#include "symbols/names.h"
#include "source/source.h"
#include "symbols/keywords.h"
#include "expr/expr.h"
#include "stmt/stmt.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// The guards written in place of DONODE ('*' the node's number) and DOEVENT.
constexpr const char* NODEGUARD = "if (_n=*) and _ci1 or (ino<0) then ";
constexpr const char* EVENTGUARD = "if _ci1 then ";

// args -> "(" expression {"," expression} ")"   at most n of them.
// Returns with CH on what ended the last one.
void ARGS(Compiler& c, int n) {
  Source& s = c.src;
  int read = 0;
  while (s.CH != ')' && read < n) {
    PREXP(c);
    read++;
  }
}

bool INLABELS(Compiler& c, const std::string& w) {
  int n = c.stmt.CURNODE;
  if (n <= 0 || n > c.model.NodeCount) return false;
  for (const NodeLabel& l : c.model.NodeTable[n].LABELS)
    if (l.NOM == std::string_view(w).substr(0, NAMEMAX)) return true;
  return false;
}

// A character constant of a CASE label: at most one character between its
// quotes, a doubled quote counting as one.
bool ONECHAR(const Source& s) {
  int n = 0;
  for (int k = s.KSTART + 1; k < s.K - 1; ++k) {
    if (s.at(k) == '\'') ++k;
    ++n;
  }
  return n <= 1;
}

// labels -> label {"," label} ":"     label -> number | name | 'c'
void CASELABELS(Compiler& c) {
  Source& s = c.src;
  for (;;) {
    if (ISSTRING(s)) {
      if (!ONECHAR(s)) ERROR(c, "illegal CASE list");
    } else if (!s.IDREAD) {
      ERROR(c, "identifier expected");
    }
    RECID(c);
    if (s.IDREAD || (s.CH != ':' && s.CH != ',')) ERROR(c, "illegal CASE list");
    if (s.CH == ':') break;
    s.K++;
    RECID(c);
  }
  s.K++;
}

// The guard of DONODE and DOEVENT, written in place of the keyword.
void GUARDED(Compiler& c, const std::string& guard) {
  Source& s = c.src;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRSTART = s.K;
  SENDPIECE(c, c.out.CURCH, guard, true);
  PRINS(c);
  SENDSRC(c, s.K, c.out.CURCH);
  c.out.TRSTART = s.K;
  FLUSHOUT(c, c.out.CURCH);
}

}  // namespace

// compound -> BEGIN statement {statement} END [";"]
void PRCOMP(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "PRCOMP  ");
  c.stmt.BEGINDEPTH++;
  do PRINS(c);
  while (!WORDIS(s, "END"));
  RECID(c);
  if (!s.IDREAD && s.CH == ';')
    s.K++;
  else if (s.IDREAD && s.IDENT != "ELSE"sv && s.IDENT != "END"sv)
    ERROR(c, "incorrect compound statement");
  c.stmt.BEGINDEPTH--;
  TRACELN(c, "PROCESADA INS.COMP NOM ", s.IDENT, " CH ", s.CH, " PL^.CON[K] ", s.at(s.K));
}

// if -> IF expression THEN statement [ELSE statement]
void PRIF(Compiler& c) {
  TRACELN(c, "PRIF    ");
  PREXP(c);
  NEEDWORD(c, "THEN", "THEN missing or misplaced");
  PRINS(c);
  if (WORDIS(c.src, "ELSE")) PRINS(c);
  TRACELN(c, "PROCESADO IF ");
}

// while -> WHILE expression DO statement
void PRWHILE(Compiler& c) {
  TRACELN(c, "PRWHILE ");
  PREXP(c);
  NEEDWORD(c, "DO", "DO missing or misplaced");
  PRINS(c);
  TRACELN(c, "PROCESADO WHILE");
}

// for -> FOR assignment (TO | DOWNTO) expression DO statement
void PRFOR(Compiler& c) {
  TRACELN(c, "PRFOR   ");
  PRINS(c);
  ONEWORD(c, {"TO", "DOWNTO"}, "TO or DOWNTO expected");
  PREXP(c);
  EXPECTWORD(c, "DO");
  PRINS(c);
  TRACELN(c, "FOR PROCESADO");
}

// repeat -> REPEAT {statement} UNTIL expression
void PRREPEAT(Compiler& c) {
  TRACELN(c, "PRREPEAT");
  c.stmt.REPEATDEPTH++;
  do PRINS(c);
  while (!WORDIS(c.src, "UNTIL"));
  PREXP(c);
  c.stmt.REPEATDEPTH--;
  TRACELN(c, "PROCESADO REPEAT");
}

// case -> CASE expression OF {labels statement} [ELSE statement] END [";"]
// A branch ended by END or ELSE leaves that word for the CASE; the word
// after the CASE's END is left for the enclosing statement.
void PRCASE(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "PRCASE  ");
  c.stmt.CASEDEPTH++;
  PREXP(c);
  EXPECTWORD(c, "OF");
  RECID(c);
  while (!WORDIS(s, "END") && !WORDIS(s, "ELSE")) {
    CASELABELS(c);
    PRINS(c);
    if (!WORDIS(s, "END") && !WORDIS(s, "ELSE")) RECID(c);
  }
  if (WORDIS(s, "ELSE")) {
    PRINS(c);
    if (!WORDIS(s, "END")) RECID(c);
    EXPECTWORD(c, "END");
  }
  TRACELN(c, "VA  A VER QUE SIGUE AL CASE ; END o ELSE");
  RECID(c);
  if (!s.IDREAD && s.CH == ';') {
    s.K++;
    SENDSRC(c, s.K, c.out.CURCH);
    c.out.TRSTART = s.K;
  } else if (!WORDIS(s, "END") && !WORDIS(s, "ELSE")) {
    ERROR(c, "; or END or ELSE expected");
  }
  c.stmt.CASEDEPTH--;
  TRACELN(c, "PROCESADA INS.CASE CASEND=", c.stmt.CASEDEPTH);
}

// goto -> GOTO label
void PRGOTO(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "PRGOTO  ");
  RECID(c);
  if (!INLABELS(c, s.IDENT)) ERROR(c, "label not declared");
  SENDSRC(c, s.K, c.out.CURCH);
  c.out.TRSTART = s.K;
  c.out.TRANSMIT = false;
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

// donode -> DONODE statement: only when the event is this node's.
void PRDONODE(Compiler& c) {
  TRACELN(c, "CJN ", c.stmt.CURNODENUM);
  GUARDED(c, REPL(NODEGUARD, '*', c.stmt.CURNODENUM));
}

// doevent -> DOEVENT statement: only in the first scan after an event.
void PRDOEVENT(Compiler& c) { GUARDED(c, EVENTGUARD); }

// call -> name ["(" expression {"," expression} ")"]
void PRPROCP(Compiler& c) {
  Source& s = c.src;
  int n = s.VARCOUNT;
  TRACELN(c, "PROCED. O FUNCION PASCAL ");
  TRACELN(c, "NUMERO DE PARAMETROS ", n);
  if (n <= 0) return;
  bool outer = c.expr.INARGS;
  c.expr.INARGS = true;
  RECID(c);
  MUSTBE(c, '(');
  s.K++;
  ARGS(c, n);
  if (s.CH != ')') ERROR(c, ") missing or incorrect parameter number");
  c.expr.INARGS = outer;
}

// pcall -> name ["(" arguments ")"] (";" | before END or ELSE)
// RESET and REWRITE take a record size as an extra argument.
void PRPROPA(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "PROC.PASCAL  ", s.IDENT);
  int kw = c.kw.KWNO;
  int n = PPROCARGS(kw);
  c.names.NOMFUNPG = CUT(s.IDENT, NAMEMAX);
  if (n > 0) {
    bool outer = c.expr.INARGS;
    c.expr.INARGS = true;
    RECID(c);
    EXPECT(c, '(');
    s.K++;
    ARGS(c, n);
    if (s.CH == ',' && (kw == P_RESET || kw == P_REWRITE)) PREXP(c);
    if (s.CH != ')') ERROR(c, ") missing or number of parameters incorrect");
    c.expr.INARGS = outer;
  }
  c.names.NOMFUNPG = " ";
  RECID(c);
  if (!s.IDREAD) {
    EXPECT(c, ';');
    s.K++;
  } else if (s.IDENT != "END"sv && s.IDENT != "ELSE"sv) {
    ERROR(c, "END o ELSE expected");
  }
}
