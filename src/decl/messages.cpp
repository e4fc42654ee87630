// The MESSAGES and NODES classes: record layouts of message types and of
// node attributes. Nothing of the source is copied through: each record
// becomes "type _pfr<n>=^_f<n>;_f<n>=record gt,use,et,xt:real;" + the
// fields + " end; var _p<n>,_po<n>:_pfr<n>;" in PRU.PAS, where n is the
// node's number or, for a message type, the next number after the nodes.
// Every new field name also becomes a global variable with an "O_" twin:
// their declarations gather in MODAUX (channel 5) while the record is
// written and are copied into PRU.PAS after it. The record's transfer
// elements are started (ADDCASE) and closed (ENDCASE) here; the type reader
// adds the fields' transfers. Called by BUDECL for both class keywords.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes beside the record: each new field's global and
// its twin ('*' the name), the separators of their declaration.
constexpr const char* TWIN = ",O_*";
constexpr const char* COLON = ":";
constexpr const char* SEMI = ";";

// A flush that leaves no empty line behind.
void FLUSHIF(Compiler& c, ChannelNo ch) {
  if (!c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
}

// The declaration has a record: its transfer elements, its type line and
// a fresh MODAUX for its globals.
void STARTREC(Compiler& c) {
  Gen& g = c.gen;
  ADDCASE(c, std::stoi(g.NUMTXT), false);
  RECTYPE(c, g.NUMTXT);
  CREATECH(c, CH_MODAUX);
  g.RECOPEN = true;
}

// The name of a declaration: a node's attributes, else a new message type.
void RECNAME(Compiler& c) {
  Source& s = c.src;
  Gen& g = c.gen;
  Decl& d = c.decl;
  TRACELN(c, "VER DECL.NODO O MESSAGES ", s.IDENT);
  if (NOWORD(s)) ERROR(c, "missing node or message name");
  s.NOTFOUND = true;
  g.ISMSG = BUSNODE(c) == 0;
  if (g.ISMSG) {
    BUSLIST(c);
    if (c.names.MSGFOUND) ERROR(c, "repeated message name");
    d.NodeCountAtDecl += 1;
    g.NUMTXT = std::to_string(d.NodeCountAtDecl);
    c.names.CURMSG->NUMTXT = g.NUMTXT;
    g.NODE = 0;
  } else {
    g.NODE = c.model.NODEIDX;
    g.NUMTXT = std::to_string(g.NODE);
    NodeRecord& x = c.model.NodeTable[g.NODE];
    if (x.DECLARED) ERROR(c, "node already declared");
    x.DECLARED = true;
  }
}

// item -> IL | EL | fieldlist       (IL and EL only for nodes)
void ITEM(Compiler& c) {
  Source& s = c.src;
  Gen& g = c.gen;
  if (!g.ISMSG && s.IDREAD && (s.IDENT == "IL"sv || s.IDENT == "EL"sv)) {
    NodeRecord& x = c.model.NodeTable[g.NODE];
    if (s.IDENT == "IL"sv) {
      if (x.TIPO == 'I' || x.TIPO == 'E') ERROR(c, "IL in message or node type I or E");
      x.IL = -1;
    } else {
      if (x.TIPO == 'I') ERROR(c, "EL in node type I or message");
      x.EL = -1;
    }
    return;
  }
  PROFIELDS(c);
}

// decl -> name ";" | name "(" item {";" item} ")" ";"
void MSGDECL(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Gen& g = c.gen;
  RECNAME(c);
  g.FIRSTLIST = true;
  g.NEWFIELD = g.NEWFIELDS = g.RECOPEN = false;
  RECID(c);
  MUSTBEONE(c, "(;", "( or ; expected");
  if (s.CH == ';') {
    s.K++;
    STARTREC(c);
  } else {
    s.K++;
    RECID(c);
    for (;;) {
      TRACELN(c, "ENTRA A PROCESAR REGISTRO   NOM  ", s.IDENT);
      o.TRANSMIT = false;
      ITEM(c);
      RECID(c);
      MUSTBEONE(c, ");", "; is expected");
      bool last = s.CH == ')';
      s.K++;
      RECID(c);
      if (last) break;
    }
    MUSTBE(c, ';');
    s.K++;
  }
  RECID(c);
  TRACELN(c, "SE TERMINA DE PROCESAR UN MESS SIGUE NOM ", s.IDENT, "  PL^.CON[K] ",
          s.at(s.K));
  ENDREC(c);
}

// The type after ':' of a field list, read by the type reader in
// message-field mode: it stops on the ';' or ')' behind the type, and
// TYPARB gives the names their type and registers their transfers.
void FIELDTYPE(Compiler& c) {
  Decl& d = c.decl;
  TypeEnd end = d.ENDMODE;
  bool vartype = d.VARTYPE;
  TYPERESET(c);
  d.W.TYPNAME = c.src.IDENT;
  d.MSGFIELDS = true;
  d.ENDMODE = TE_STOP;
  d.VARTYPE = false;
  BUTYPE(c);
  d.ENDMODE = end;
  d.VARTYPE = vartype;
}
}  // namespace

// PROMESS -> (MESSAGES | NODES) decl {decl}
void PROMESS(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Decl& d = c.decl;
  TRACELN(c, "MESS");
  if (d.PROCSEEN) ERROR(c, "MESSAGES after PROCEDURES");
  s.MSGVAR = true;
  SENDSRC(c, s.KSTART, o.CURCH);
  o.TRANSMIT = false;
  o.TRMODE = 0;
  RECID(c);
  d.CLASSFOUND = false;
  do {
    MSGDECL(c);
    BUCLADE(c);
  } while (!d.CLASSFOUND);
  s.MSGVAR = false;
  o.TRSTART = s.KSTART;  // copying resumes with the class keyword
  o.TRANSMIT = true;
  d.MSGFIELDS = false;
}

// fieldlist -> name {"," name} ":" type
// The names go to the record in PRU.PAS; the new ones, each with its O_
// twin, to MODAUX as "A,O_A,B,O_B:type;".
void PROFIELDS(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Gen& g = c.gen;
  Decl& d = c.decl;
  EXPECTNAME(c, "field name expected");
  if (g.FIRSTLIST) {
    if (!g.ISMSG) {
      NodeRecord& x = c.model.NodeTable[g.NODE];
      if (x.TIPO != 'I' && x.TIPO != 'O') ERROR(c, "message declaration illegal in this node");
      x.HASATTR = true;
    }
    STARTREC(c);
    g.FIRSTLIST = false;
  }
  TRACELN(c, "VA A RECOGER CAMPOS ");
  g.NEWFIELD = false;
  std::string sep = " ";  // what stood before the next new name
  for (bool first = true;; first = false) {
    std::string name = CUT(s.IDENT, NAMEMAX);
    TRACELN(c, "NUEVO ELEMENTO DE LISTA NOM    ", name);
    STVNAME(c, first, name);
    ADDPIECE(c, CH_PRU, name);
    if (c.names.ISNEW) {
      ADDPIECE(c, CH_MODAUX, (g.NEWFIELD ? sep : "") + name);
      ADDPIECE(c, CH_MODAUX, FILLIN(TWIN, {{'*', name}}));
      g.NEWFIELD = g.NEWFIELDS = true;
      TRACELN(c, "SE AGREGARA A ARBOL O_VAR ");
      STVNAME(c, false, "O_" + name);
    } else {
      g.KNOWNFIELDS.push_back(name);
    }
    RECID(c);
    if (s.IDREAD || (s.CH != ',' && s.CH != ':')) ERROR(c, "incorrect field list");
    char x = s.CH;
    ADDPIECE(c, CH_PRU, std::string(1, x));
    if (g.NEWFIELD && x == ':')
      ADDPIECE(c, CH_MODAUX, COLON);
    else
      sep = std::string(1, x);
    s.K++;
    RECID(c);
    if (x == ':') break;
    EXPECTNAME(c, "field name expected");
  }
  TRACELN(c, "TERMINA LISTA RECOGIDO TIPO ", s.IDENT);
  ADDPIECE(c, CH_PRU, s.IDENT);
  if (g.NEWFIELD) ADDPIECE(c, CH_MODAUX, s.IDENT);
  // The type's text is transmitted; lines it spans reach MODAUX as well
  // when the list declares globals.
  o.TRSTART = s.K;
  o.TRANSMIT = true;
  s.MSGAUX = g.NEWFIELD;
  FIELDTYPE(c);
  s.MSGAUX = false;
  // The globals get the whole type text too, not just its first word.
  if (g.NEWFIELD) {
    SENDSRC(c, s.K, CH_MODAUX);
    if (s.CH != ')') ADDPIECE(c, CH_MODAUX, SEMI);
  }
  SENDSRC(c, s.CH == ')' ? s.K : s.K + 1, CH_PRU);
  o.TRANSMIT = false;
  d.W.PROCVAR = d.W.TIPOTIPO == "PROCEDURE"sv;
  TYPARB(c);
  d.TYPDECL = false;
  TRACELN(c, "TERMINA DECLARACION DE UNA LISTA DE CAMPOS ");
}

// Closes the record of one declaration and moves its globals into PRU.PAS.
// A node declaration that named only EL or IL has no record to close.
void ENDREC(Compiler& c) {
  Gen& g = c.gen;
  TRACELN(c, "FINALIZAR PROC.DE REG.NODO");
  if (!g.RECOPEN) return;
  RECVARS(c, g.NUMTXT);
  ENDCASE(c);
  TRACELN(c, "SI ES CAMPO NUEVO TRANSMITIR ; A DECLARACION");
  if (g.NEWFIELDS && g.NEWFIELD) ADDPIECE(c, CH_MODAUX, SEMI);
  FLUSHIF(c, CH_MODAUX);
  FLUSHIF(c, CH_PRU);
  COPYCH(c, CH_MODAUX, CH_PRU, "DE MODAUX A MODEC ");
  g.RECOPEN = false;
}
