// Declaration driver: the pass over the DECL section. Writes the head of
// the unit pru into PRU.PAS, reads a leading USES clause, switches on the
// whole-line copy of declarations, enters the predefined names and walks
// the classes up to "END.", dispatching each to its handler; the network is
// organised when PROCEDURES begins or after "END.". Called once by the
// driver right after the section finder, with PL on the DECL line. Stands
// above what it drives: the class handlers (decl/), the procedures'
// statements (stmt/procedures.cpp) and the organisation.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "model/model.h"
#include "decl/decl.h"
#include "stmt/stmt.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

constexpr const char* UNITHEAD =
    "unit pru;interface uses rtdefs,rtmath,rtshell,rtdlg,rtdist,rtplot,Dialogs";

// The unit's fixed interface: its implementations are assembled later.
constexpr const char* INTERFACE[] = {
    "{$F+}",
    "function _fec(time:real;_m:integer):real;",
    "procedure _upvr(_ni:word;_s: pointer);",
    "procedure _uprv(_ni:word;_s: pointer);",
    "procedure _upvro(_ni:word;_s: pointer);",
    "procedure _uprvo(_ni:word;_s: pointer);",
    "procedure _elim(r:word; b:pointer;_pe:_pl);",
    "procedure _newr(r:integer; var b:pointer);",
    "procedure _com; procedure _inieli;  procedure _aesva; procedure _init;",
    "procedure clrstat; procedure _pexp;",
    "function _cl(_NSY:INTEGER):BOOLEAN;",
    "procedure _prsta(I:INTEGER;V:REAL);procedure _prstp(I:INTEGER;V:REAL);",
    " "};

constexpr const char* UPVRHEAD =
    "procedure *(_ni:word;_s:pointer);var _j:integer;begin case _ni of";
constexpr const char* UPVR = "_upvr";
// The units a model uses, one a line after the open uses line.
constexpr const char* UNITSEP[] = {",", ";"};  // between units, after the last
constexpr const char* BLANK = " ";

// The "END." line is never finished by a line advance, so declarations
// standing before "END." on its line are sent here.
void ENDLINE(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  int from = o.TRANSMIT ? o.TRSTART : 1;
  std::string text;
  for (int i = from; i < s.KSTART; ++i) text += s.at(i);
  if (text.find_first_not_of(' ') == std::string::npos) return;
  if (o.TRANSMIT) {
    SENDSRC(c, s.KSTART, o.CURCH);
    FLUSHOUT(c, o.CURCH);
    o.TRSTART = s.KSTART;
  } else if (o.TRMODE == 1 && s.DECLCOPY) {
    s.PRULINES++;
    WRITELINE(c, CH_PRU, text);
  }
}

// The classes, in any order, up to "END.".
void CLASSLOOP(Compiler& c) {
  Source& s = c.src;
  Decl& d = c.decl;
  d.NOM5 = s.IDENT;
  BUCLADE(c);
  if (!s.IDREAD || !d.CLASSFOUND) ERROR(c, "missing class of declaration");
  d.NodeCountAtDecl = c.model.NodeCount;
  TRACELN(c, "CLASE DE DECLARACION ******** ", s.IDENT);
  for (;;) {
    switch (d.CLASSIDX) {
      case DC_TYPE:
        d.TYPDECL = true;
        PROTYPE(c);
        d.TYPDECL = false;
        break;
      case DC_VAR:
        d.MODE = VarMode();
        PROVAR(c);
        break;
      case DC_CONST:
        PROCONST(c);
        break;
      case DC_PROCEDURES: {
        if (d.PROCSEEN) ERROR(c, "more than one PROCEDURES");
        int k = s.K;
        ORGRED(c);
        s.K = k;
        d.PROCSEEN = true;
        PROPROC(c);
        break;
      }
      case DC_USES:
        USES(c);
        BUCLADE(c);
        if (!d.CLASSFOUND) ERROR(c, "missing class of declaration");
        break;
      case DC_END:
        ENDLINE(c);
        return;
      case DC_MESSAGES: case DC_NODES:
        PROMESS(c);
        break;
      case DC_GFUNCTIONS: PROGFUNC(c); break;
      case DC_TABLES: PROTABLES(c); break;
      case DC_STATISTICS: PROSTAT(c); break;
      case DC_FACTORS: PROFACT(c); break;
      case DC_RESPONSES: PRORESP(c); break;
      case DC_DBTABLES: PRODBT(c); break;
      default:
        ERROR(c, "illegal class of declaration");
    }
  }
}

}  // namespace

void BUDECL(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Names& n = c.names;
  Decl& d = c.decl;
  Model& m = c.model;
  WRITETEXT(c, CH_PRU, UNITHEAD);
  s.HASHTOPRU = true;
  // The keyword and the character after it are not copied with the line.
  if (s.IDENT == "DECL"sv)
    for (int i = s.KSTART; i <= s.K; ++i) s.line().put(i, ' ');
  RECID(c);
  d.NOM5 = s.IDENT;
  if (s.IDENT != "USES"sv) {
    d.USESFIRST = false;
    WRITELINE(c, CH_PRU, ";");
  } else {
    USES(c);
  }
  for (const char* line : INTERFACE) WRITELINE(c, CH_PRU, line);
  TRACELN(c, ' ', m.SectionLine[1], ' ', m.SectionLine[2], ' ', m.SectionLine[3]);
  TRACEWAIT(c);
  d.FUNCRESULT = false;
  n.ROOT = nullptr;
  o.TRMODE = 1;
  std::string word = s.IDENT;  // PREDEF passes the names through IDENT
  PREDEF(c);
  s.IDENT = word;
  RETOKEN(s);
  TRACELN(c, "NOM5 ", d.NOM5);
  SENDPIECE(c, CH_MODPRO, REPL(UPVRHEAD, '*', UPVR), false);
  if (c.drv.TRACE) {
    for (int i = s.KSTART; i <= s.K; ++i) TRACEW(c, s.at(i));
    TRACELN(c);
    TRACEWAIT(c);
  }
  s.DECLCOPY = true;
  n.TYPEL = " ";
  if (m.DECLFOUND) CLASSLOOP(c);
  if (!d.PROCSEEN) ORGRED(c);
  d.PROCSEEN = false;
}

// USES name {"," name} ";" — only as the first word of the section.
void USES(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Decl& d = c.decl;
  TRACELN(c, "USES");
  TRACEWAIT(c);
  if (!d.USESFIRST) ERROR(c, "misplaced uses");
  // The clause is not copied: what precedes it on its line goes first.
  if (o.TRANSMIT) SENDSRC(c, s.KSTART, o.CURCH);
  int trmode = o.TRMODE;
  o.TRANSMIT = false;
  o.TRMODE = 0;
  do {
    RECID(c);
    EXPECTNAME(c, "unit name expected");
    d.USESLIST.push_back(CUT(s.IDENT, NAMEMAX));
    RECID(c);
    MUSTBEONE(c, ";,", "; or , expected");
    s.K++;
  } while (s.CH != ';');
  RECID(c);
  d.NOM5 = s.IDENT;
  USESEMIT(c, CH_PRU);
  if (c.drv.TRACE) {
    for (const std::string& u : d.USESLIST) TRACEW(c, u, ' ');
    TRACELN(c);
  }
  o.TRMODE = trmode;
  o.TRANSMIT = true;
  o.TRSTART = s.KSTART;  // copying goes on with the word after the clause
}

// With an empty buffer: "," ends the open uses line, then one unit a line.
void USESEMIT(Compiler& c, ChannelNo ch) {
  const std::vector<std::string>& units = c.decl.USESLIST;
  SENDPIECE(c, ch, UNITSEP[0], false);
  for (size_t i = 0; i < units.size(); ++i) {
    SENDPIECE(c, ch, units[i] + UNITSEP[i + 1 == units.size()], true);
  }
  SENDPIECE(c, ch, BLANK, true);
}
