// The PROCEDURES class: the model's Pascal procedures and functions. Their
// text goes to MODPRP (channel 9), which the assembly copies into the
// implementation of pru; each heading also goes to the interface (channel
// 1) so that node code in other units can call it. Headings and local
// variables are copied by the line advance (INPROC, HEADER); bodies are
// translated by the statement translator like node code, with the routine
// as the unit whose names are looked up (SCOPE).
// A FORWARD declaration is only an interface heading: its text is taken
// back from MODPRP (an implementation may not declare forward what its
// interface declares), and the later definition's heading, written short,
// stays out of the interface.
// Sets the routines' NameNodes (decl.h), Program::HASPROCS and PROCHEAD.
// Called by BUDECL after the network organisation.
#include <climits>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "stmt/stmt.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// Where MODPRP stands before a heading.
ChMark MARK(Compiler& c) { return MARKCH(c, CH_MODPRP); }

// A heading that declares nothing of the implementation leaves no text
// in MODPRP: the file is cut back to the mark.
void TAKEBACK(Compiler& c, const ChMark& mark) { TAKEBACKCH(c, CH_MODPRP, mark); }

// The heading ends at the word just read: what of it stands before that
// word on this line goes to the interface now (the line advance only
// copies lines that end inside the heading).
void HEADEREND(Compiler& c) {
  Source& s = c.src;
  if (!s.HEADER) return;
  s.HEADER = false;
  std::string text;
  bool blank = true;
  for (int i = c.out.TRSTART; i < s.KSTART; ++i) {
    text += s.at(i);
    blank = blank && s.at(i) == ' ';
  }
  if (blank) return;
  SENDPIECE(c, CH_PRU, text, true);
}

// ":" type ";" of a function without parameters; the type word is kept.
void RESULTTYPE(Compiler& c, NameNode* e) {
  Source& s = c.src;
  RECID(c);
  std::string type = s.IDENT;
  NAMEDTYPE(c);
  RECID(c);
  MUSTBE(c, ';');
  s.K++;
  e->TYPEL = CUT(type, NAMEMAX);
}

// A new routine: its entry, then ["(" parameters ")"] [":" type] ";".
NameNode* NEWROUTINE(Compiler& c, const std::string& name, bool function) {
  Source& s = c.src;
  Names& n = c.names;
  Decl& d = c.decl;
  s.TIPO = function ? "FUNP" : "PROCP";
  n.DIRECTADD = true;
  n.DIRECTCODE = 0;
  n.NSUB = 0;
  n.BOUNDS.clear();
  n.TYPEL = " ";
  STVNAME(c, true, name);
  n.DIRECTADD = false;
  NameNode* e = n.NEWENTRY;
  RECID(c);
  char after = s.IDREAD ? ' ' : s.CH;
  s.K++;
  n.SCOPE = name;
  if (after == '(') {
    d.MODE = VarMode();
    d.MODE.FORMAL = true;
    d.MODE.LOCAL = true;
    PROVAR(c);
    e->COUNT = d.PARAMCOUNT;
    if (function) e->TYPEL = CUT(d.RESULTTYPE, NAMEMAX);
  } else if (!function) {
    if (after != ';') ERROR(c, "( or ; expected");
  } else {
    if (after != ':') ERROR(c, ": expected");
    RESULTTYPE(c, e);
  }
  return e;
}

// A known name: the definition of a FORWARD procedure, or a procedure
// variable named again; name ";" — its heading is in the interface already
// (or must not be there).
void KNOWNROUTINE(Compiler& c, NameNode* e) {
  Source& s = c.src;
  if (e->TIPO != "PROCP"sv && !e->FLAG4) ERROR(c, "name of procedure used elsewhere");
  if (e->TIPO == "PROCP"sv && !e->FLAG2) ERROR(c, "duplicated procedure or function name");
  s.HEADER = false;
  c.names.SCOPE = e->NOM;
  RECID(c);
  MUSTBE(c, ';');
  s.K++;
}

// BEGIN ... END ";" — translated like node code into MODPRP.
void BODY(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Stmt& t = c.stmt;
  s.K = s.KSTART;
  o.CURCH = CH_MODPRP;
  t.LBF = INT_MAX;  // the body ends with its END, not at a line
  t.INITMODE = false;
  t.HASLABELS = false;
  t.CURNODE = 0;
  t.CONTNODE = false;
  HEADEREND(c);
  // Transmission, not the procedure copy: instructions that stop it keep
  // their source out of the output, as in node code.
  s.INPROC = false;
  o.TRMODE = 2;
  o.TRANSMIT = true;
  PRINS(c);
  s.INPROC = true;
  o.TRMODE = 1;
  RECID(c);
}

// routine -> (PROCEDURE | FUNCTION) name [ "(" parameters ")" ] [":" type] ";"
//            ( FORWARD ";" | [VAR locals] BEGIN statements END ";" )
void ROUTINE(Compiler& c, std::vector<NameNode*>& forwards) {
  Source& s = c.src;
  Out& o = c.out;
  Names& n = c.names;
  o.TRANSMIT = false;
  s.HEADER = true;
  ONEWORD(c, {"PROCEDURE", "FUNCTION"}, "PROCEDURE or FUNCTION expected");
  bool function = s.IDENT == "FUNCTION"sv;
  c.decl.FUNCRESULT = function;
  c.prog.HASPROCS = true;
  // What stands before the heading on its line ends the routine before.
  if (s.KSTART > o.TRSTART) {
    SENDSRC(c, s.KSTART, CH_MODPRP);
    o.TRSTART = s.KSTART;
  }
  ChMark mark = MARK(c);
  RECID(c);
  if (NOWORD(s)) ERROR(c, "missing name of procedure or function");
  CHKNAME(c);
  std::string name = CUT(s.IDENT, NAMEMAX);
  n.SCOPE = "MAIN";
  NameNode* e = BUSIDAR1(c);
  bool known = e != nullptr;
  // A table is a variable of the unit, though not a declared name.
  if (!known && ISDBTABLE(c, name)) ERROR(c, "name of procedure used elsewhere");
  if (known)
    KNOWNROUTINE(c, e);
  else
    e = NEWROUTINE(c, name, function);
  RECID(c);
  bool forward = WORDIS(s, "FORWARD");
  if (forward) {
    HEADEREND(c);
    e->FLAG2 = true;
    forwards.push_back(e);
    RECID(c);
    MUSTBE(c, ';');
    s.K++;
    TAKEBACK(c, mark);
    o.TRSTART = s.K;
    RECID(c);
  } else {
    // A body would declare a routine of the variable's name beside it.
    if (e->FLAG4 && (WORDIS(s, "VAR") || WORDIS(s, "BEGIN")))
      ERROR(c, "name of procedure used elsewhere");
    if (WORDIS(s, "VAR")) {
      HEADEREND(c);
      c.decl.MODE = VarMode();
      c.decl.MODE.LOCAL = true;
      PROVAR(c);
    }
    if (WORDIS(s, "BEGIN")) {
      BODY(c);
      e->FLAG2 = false;  // defined: a further definition is a duplicate
    } else if (!e->FLAG4) {
      ERROR(c, "BEGIN or VAR or FORWARD expected");
    } else {
      // A procedure variable named again declares nothing.
      TAKEBACK(c, mark);
      o.TRSTART = s.KSTART;
    }
  }
  TRACELN(c, "RECOGIDO PROCEDIMIENTO ", e->NOM);
  TRACELN(c, forward ? "ES FORWARD" : "NO ES FORWARD");
  TRACELN(c, "NUMERO DE PARAMETROS ", e->COUNT);
  n.SCOPE = "MAIN";
  BUCLADE(c);
}

}  // namespace

// PROCEDURES routine {routine}
void PROPROC(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Decl& d = c.decl;
  CLASSSTART(c, false);
  s.INPROC = true;
  s.PROCHEAD = true;
  o.TRSTART = s.K;
  o.TRMODE = 1;
  RECID(c);
  o.ch[CH_MODPRP].BUF.clear();
  CREATECH(c, CH_MODPRP);
  o.CURCH = CH_MODPRP;
  BUCLADE(c);
  std::vector<NameNode*> forwards;
  while (!d.CLASSFOUND) ROUTINE(c, forwards);
  // The interface declares them: the unit needs their bodies.
  for (const NameNode* e : forwards)
    if (e->FLAG2) ERROR(c, "forward declaration not defined " + e->NOM);
  // The class keyword that follows starts the copy into the unit again.
  if (s.KSTART > o.TRSTART) SENDSRC(c, s.KSTART, CH_MODPRP);
  o.TRSTART = s.KSTART;
  s.INPROC = false;
  s.HEADER = false;
  s.PROCHEAD = false;
  d.MODE = VarMode();
  d.FUNCRESULT = false;
  FLUSHOUT(c, CH_MODPRP);
  if (!o.ch[CH_PRU].BUF.empty()) FLUSHOUT(c, CH_PRU);
  o.CURCH = CH_PRU;
  o.TRANSMIT = true;
}
