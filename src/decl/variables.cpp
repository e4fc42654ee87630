// Variables: PROVAR reads "a, b : type;" declarations wherever they occur
// (the VAR class, formal parameters, routine-local and node-local
// variables, procedure-type parameters, record fields) and TYPARB gives
// the group of names read the type just read. The text passes through to
// the output as it stands, except GPOINTER, written as the runtime pointer
// type _pl with a companion B_ variable. Called by BUDECL, the type reader
// (records, procedure types) and the procedure and node passes.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes: the runtime's pointer type in place of GPOINTER.
constexpr const char* PLTYPE = "_pl";
constexpr const char* GPOINTERFIELD = ":_pl;";

// The first name of a group: names beginning with "_" are the generated
// code's, the I/O words and the reserved words are refused.
void FIRSTNAME(Compiler& c) {
  Source& s = c.src;
  EXPECTNAME(c, "variable name  expected");
  TRACELN(c, s.IDENT, " ES LA VARIABLE HALLADA");
  if (s.IDENT[0] == '_') ERROR(c, "invalid variable name");
  s.NOTFOUND = true;
  IOWORD(c);
  if (!s.NOTFOUND) ERROR(c, "reserved word used as a variable");
  CHKNAME(c);
}

// name {"," name} ":" type-word — enters the names as one group and reads
// the type word. Returns the count; first is the first name's entry.
int READGROUP(Compiler& c, const VarMode& m, NameNode*& first) {
  Source& s = c.src;
  Decl& d = c.decl;
  FIRSTNAME(c);
  STVNAME(c, true, s.IDENT);
  first = c.names.NEWENTRY;
  int count = 1;
  if (m.FORMAL) d.PARAMCOUNT++;
  PEEK(c);
  MUSTBEONE(c, ":,", ": or , expected");
  while (s.CH != ':') {
    EXPECT(c, ',');
    s.K++;
    RECID(c);
    if (NOWORD(s)) ERROR(c, "error in variable name");
    CHKNAME(c);
    STVNAME(c, false, s.IDENT);
    count++;
    if (m.FORMAL) {
      d.PARAMCOUNT++;
      if (m.LOCAL) TRACELN(c, "RECOGIDA VARIABLE FORMAL NUMERO ", d.PARAMCOUNT);
    }
    RECID(c);
  }
  s.K++;
  RECID(c);
  if (!s.IDREAD) ERROR(c, "type of variable missing");
  return count;
}

// GPOINTER ";" — written as _pl; TYPARB adds the companions and the ";".
void GPOINTERTYPE(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Names& n = c.names;
  Decl& d = c.decl;
  TYPELOOK(c);
  n.DIRECTCODE = TYPECODEOF(c, n.TYPENO);
  d.W.LASTTYPENAME = "GPOINTER";
  SENDSRC(c, s.KSTART, o.CURCH);
  o.TRANSMIT = false;
  SENDPIECE(c, o.CURCH, PLTYPE, false);
  s.TIPO = "GPOINTER";
  d.W.TIPOTIPO = "GPOINTER";
  o.TRSTART = s.K;
  o.TRANSMIT = true;
  RECID(c);
  MUSTBE(c, ';');
  s.K++;
  o.TRSTART = s.K;  // the ";" comes from TYPARB
  n.TYPEL = " ";
}

// The anonymous RECORD of a variable: its fields hang below its entry.
void ANONRECORD(Compiler& c, int count, NameNode* owner) {
  if (count > 1) ERROR(c, "lista de variables RECORD >1");
  TRACELN(c, "CREAR SUBARBOL DE CAMPOS DE ", count, " VARIABLES");
  owner->FIELDS = READFIELDS(c);
  TRACELN(c, "ARBOL CREADO");
  PRINTTREE(c, owner->FIELDS);
}

// After a group of formal parameters: ";" and the next group, or ")" and,
// for a function, ":" and its result type; then ";". True at the end.
bool FORMALEND(Compiler& c) {
  Source& s = c.src;
  Decl& d = c.decl;
  if (s.CH == ';') {
    s.K++;
    RECID(c);
    if (s.IDENT == "VAR"sv) RECID(c);
    EXPECTIDENT(c, "variable or VAR expected");
    return false;
  }
  if (s.CH != ')') return false;  // the next group reports what is wrong
  s.K++;
  RECID(c);
  if (d.FUNCRESULT) {
    RECID(c);
    EXPECT(c, ':');
    s.K++;
    RECID(c);
    d.RESULTTYPE = s.IDENT;
    NAMEDTYPE(c);
    RECID(c);
  }
  EXPECT(c, ';');
  s.K++;
  c.out.TRANSMIT = false;
  return true;
}

bool CONTINUOUS(const Compiler& c) {
  const std::string& t = c.decl.W.TYPNAME;
  return t == "CONT"sv || t == "RET"sv || (t == "ARRAY"sv && c.names.TYPEL == "CONT"sv);
}

}  // namespace

// PROVAR -> group ":" type ";" { group ":" type ";" }, ended by the mode:
// a class keyword, BEGIN, "::", END of a record, or ")" of parameters.
void PROVAR(Compiler& c) {
  Source& s = c.src;
  NESTED level(c);
  Out& o = c.out;
  Decl& d = c.decl;
  VarMode m = d.MODE;
  d.MODE = VarMode();
  TypeEnd end = d.ENDMODE;
  bool vartype = d.VARTYPE, typeroot = d.TYPEROOT, infields = d.INFIELDS;
  int typedepth = d.TYPEDEPTH, arraydepth = d.ARRAYDEPTH;
  d.TYPEROOT = false;
  d.TYPEDEPTH = d.ARRAYDEPTH = 0;
  d.INFIELDS = m.FIELDS;
  // A line waiting for its whole copy is transmitted instead, from column 1.
  if (!o.TRANSMIT && o.TRMODE == 1 && s.DECLCOPY && !s.INPROC) o.TRSTART = 1;
  o.TRANSMIT = true;
  d.CLASSFOUND = false;
  TRACELN(c, "ENTRA A PROVAR DE ", c.names.SCOPE);
  TRACEWAIT(c);
  if (m.FORMAL) d.PARAMCOUNT = 0;
  RECID(c);
  if (m.FORMAL && s.IDENT == "VAR"sv) RECID(c);
  for (;;) {
    if (m.FIELDS && s.IDENT == "END"sv) {
      BUSPOCO(c);
      break;
    }
    NameNode* first = nullptr;
    int count = READGROUP(c, m, first);
    TYPERESET(c);
    d.W.TYPNAME = s.IDENT;
    d.W.STRVAR = d.W.TYPNAME == "STRING"sv;
    TRACELN(c, "TIPO HALLADO  ", d.W.TYPNAME);
    if (d.W.TYPNAME == "GPOINTER"sv) {
      GPOINTERTYPE(c);
    } else {
      d.ENDMODE = m.FIELDS ? TE_FIELD : m.FORMAL ? TE_STOP : TE_DECL;
      d.VARTYPE = true;
      BUTYPE(c);
      d.W.PROCVAR = d.W.TIPOTIPO == "PROCEDURE"sv;
    }
    TRACELN(c, "VA A PONER EN ARBOL EL TIPO ", d.W.TYPNAME, " DE TIPO ", d.W.TIPOTIPO);
    if (!m.NOTREE) TYPARB(c);
    TRACELN(c, "PROCESADA LISTA DE VAR ANTERIOR A ", s.IDENT);
    TRACEWAIT(c);
    CONTPENDING(c);
    // Only the VAR class lays variables out one after another.
    if (!m.FORMAL && !m.LOCAL && !m.COLONS && !m.FIELDS) {
      if (CONTINUOUS(c))
        d.CONTSEEN = true;
      else if (d.CONTSEEN)
        d.CONTCLOSED = true;
    }
    if (d.W.ANONREC) ANONRECORD(c, count, first);
    if (m.FORMAL) {
      if (FORMALEND(c)) break;
      continue;
    }
    if (m.FIELDS) continue;
    BUCLADE(c);
    if (d.CLASSFOUND) break;
    if (m.LOCAL && s.IDENT == "BEGIN"sv) break;
    if (m.COLONS && s.CH == ':' && s.at(s.K + 1) == ':') break;
  }
  d.ENDMODE = end;
  d.VARTYPE = vartype;
  d.TYPEROOT = typeroot;
  d.INFIELDS = infields;
  d.TYPEDEPTH = typedepth;
  d.ARRAYDEPTH = arraydepth;
  TRACELN(c, "SALE DE PROVAR");
}

// Every name of the current group gets the type just read: its word, kind,
// dimensions, base and field tree.
void TYPARB(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Names& n = c.names;
  Decl& d = c.decl;
  TypeWork& w = d.W;
  TypeRecord* t = FINDTYPE(c, w.TYPNAME);
  bool declaredarray = t && t->TIPO == "ARRAY"sv && t->NOM != "ARRAY"sv;
  const std::vector<Bound>& bounds = declaredarray ? t->BOUNDS : n.BOUNDS;
  int nsub = declaredarray ? t->NSUB : n.NSUB;
  int lastdim = w.LASTDIM;
  if (declaredarray && !t->BOUNDS.empty())
    lastdim = t->BOUNDS.back().MAX - t->BOUNDS.back().MIN + 1;
  NameNode* fields = w.FIELDTREE;
  if (t && t->FIELDS) fields = t->FIELDS;  // a declared record type
  if (t && t->TIPO == "POINTER"sv) {         // reaches the pointed record
    TypeRecord* p = FINDTYPE(c, t->TARGET);
    if (p && p->FIELDS) fields = p->FIELDS;
  }
  bool procedure = w.TIPOTIPO == "PROCEDURE"sv;
  int nparam = t && t->TIPO == "PROCEDURE"sv ? t->NPARAM : w.NPARAM;
  bool gpointer = w.TYPNAME == "GPOINTER"sv;
  bool freq = n.TYPEL == "FREQ"sv || w.TYPNAME == "FREQ"sv;
  char sep = ';';
  std::vector<NameNode*> group = n.GROUP;
  for (NameNode* e : group) {
    if (e->TIPO.empty()) {
      e->TIPO = w.TYPNAME;
      e->TYPEL = n.TYPEL;
      e->CODE = n.DIRECTCODE;
      e->COUNT1 = lastdim;
      e->BOUNDS = bounds;
      e->NSUB = nsub;
      e->TYPTYP = w.TIPOTIPO;
      e->FIELDS = fields;
      e->COUNT = procedure ? nparam : 0;
      e->FLAG4 = procedure && w.PROCVAR;
    }
    if (!d.INFIELDS) {
      if (w.TYPNAME == "CONT"sv || w.TYPNAME == "RET"sv)
        DeclareContinuous(c, e, w.RETFLAG ? w.RETORDER : 0);
      else if (w.TYPNAME == "ARRAY"sv && n.TYPEL == "CONT"sv)
        DeclareContinuousArray(c, e);
    }
    if (freq) {
      e->TYPEL = "REAL";
      if (!d.INFIELDS) DeclareFreq(c, e);
    }
    if (gpointer) {
      std::string companion = CUT("B_" + e->NOM, NAMEMAX);
      o.TRANSMIT = false;
      SENDPIECE(c, o.CURCH, std::string(1, sep) + companion, false);
      sep = ',';
      bool direct = n.DIRECTADD;
      std::string tipo = s.TIPO;
      n.DIRECTADD = true;
      s.TIPO = "GPOINTER";
      STVNAME(c, true, companion);
      n.NEWENTRY->TYPTYP = "GPOINTER";
      n.DIRECTADD = direct;
      s.TIPO = tipo;
    }
    if (d.MSGFIELDS) {
      if (nsub > 1) ERROR(c, "more than one subscript in field");
      if (e->NOM.compare(0, 2, "O_") != 0) FIELDTRANSFER(c, e);
    }
  }
  if (gpointer) {
    SENDPIECE(c, o.CURCH, GPOINTERFIELD, false);
    o.TRANSMIT = true;
    RECID(c);
  }
}
