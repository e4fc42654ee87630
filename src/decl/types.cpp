// Types: the TYPE class (PROTYPE) and the reader of one type (BUTYPE) with
// its forms: arrays, strings, records, sets, files, pointers, enumerations,
// subranges, procedure types, and the model's CONT, FREQ and RET n, which
// are written as REAL. The source text passes through by transmission or
// whole-line copy; only those three words are replaced. A TYPE declaration
// adds its name to the type list; every reader leaves what it found in the
// working state (Decl::W, Names::NSUB/BOUNDS/TYPEL/DIRECTCODE) for TYPARB,
// the constant reader and the message fields.
#include <algorithm>
#include <climits>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// A function's result type as written here: before the heading's ";", or
// where the heading stops.
constexpr const char* RESULTTYPE[] = {"REAL;", "REAL"};

// The declared type of a TYPE declaration, not a part of it.
bool TOPTYPE(const Compiler& c) {
  const Decl& d = c.decl;
  return d.TYPDECL && d.TYPEROOT && d.TYPEDEPTH == 1;
}

// Type number of a type name, 0 when it is none.
int TYPENUMBER(const Compiler& c, const std::string& name) {
  int no = 1;
  for (const TypeRecord& t : c.names.TYPES) {
    if (t.NOM == name) return no;
    no++;
  }
  return 0;
}

// Adds the type being declared (NOM2) with its base.
TypeRecord* ADDTYPE(Compiler& c, const std::string& base) {
  if (FINDTYPE(c, c.decl.NOM2)) ERROR(c, "duplicated type name");
  TYPEADD(c, c.decl.NOM2, base);
  return c.names.LASTTYPE;
}

// Everything a nested reader may change, kept around the fields of a record
// and the parameters of a procedure type.
struct Snapshot {
  TypeWork w;
  TypeEnd end;
  bool vartype, typeroot;
  int typedepth, arraydepth;
  std::string nom2;
  int nsub, code;
  std::vector<Bound> bounds;
  std::string typel;
  std::vector<NameNode*> group;
  NameNode* root;
};

Snapshot SAVE(const Compiler& c) {
  const Decl& d = c.decl;
  const Names& n = c.names;
  return Snapshot{d.W, d.ENDMODE, d.VARTYPE, d.TYPEROOT, d.TYPEDEPTH,
                  d.ARRAYDEPTH, d.NOM2, n.NSUB, n.DIRECTCODE, n.BOUNDS,
                  n.TYPEL, n.GROUP, n.ROOT};
}

void RESTORE(Compiler& c, Snapshot& x) {
  Decl& d = c.decl;
  Names& n = c.names;
  d.W = std::move(x.w);
  d.ENDMODE = x.end;
  d.VARTYPE = x.vartype;
  d.TYPEROOT = x.typeroot;
  d.TYPEDEPTH = x.typedepth;
  d.ARRAYDEPTH = x.arraydepth;
  d.NOM2 = std::move(x.nom2);
  n.NSUB = x.nsub;
  n.DIRECTCODE = x.code;
  n.BOUNDS = std::move(x.bounds);
  n.TYPEL = std::move(x.typel);
  n.GROUP = std::move(x.group);
  n.ROOT = x.root;
}

// The terminators a subrange may stand before.
bool SUBRANGEEND(char ch) {
  return ch == ';' || ch == ',' || ch == ']' || ch == ')' || ch == '=';
}

// A string constant of exactly one character ('a' or '''').
bool ONECHAR(const Source& s) {
  if (!ISSTRING(s) || s.at(s.KSTART) != '\'') return false;
  int len = s.K - s.KSTART;
  return len == 3 || (len == 4 && s.at(s.KSTART + 1) == '\'');
}

// A signed integer bound: [+|-] digits. Only the digits count, and K is left
// right after them, so "1.10" stops on its point.
bool INTBOUND(Compiler& c, int& v) {
  Source& s = c.src;
  bool negative = false;
  if (!s.IDREAD && (s.CH == '-' || s.CH == '+')) {
    negative = s.CH == '-';
    s.K++;
    RECID(c);
  }
  if (s.KIND != TokKind::Number) return false;
  int n = 0;
  while (n < static_cast<int>(s.IDENT.size()) && ISDIGIT(s.IDENT[n])) n++;
  v = INTVALUE(s.IDENT, negative);
  s.K = s.KSTART + n;
  s.CH = s.at(s.K);
  return true;
}

// CONT, FREQ and RET n: the word (and ": n") becomes REAL in the output.
//   CONT ; | FREQ ; | RET : n ;
void CONTTYPE(Compiler& c, const std::string& word) {
  Source& s = c.src;
  Out& o = c.out;
  Decl& d = c.decl;
  TRACELN(c, "SE HALLO EL TIPO VAR.CONT");
  bool cont = word != "FREQ"sv;
  // The vector of continuous variables is laid over them: they must follow
  // one another.
  if (cont && d.CONTCLOSED) ERROR(c, "continuous variables already declared");
  // A line waiting for its whole copy is transmitted instead, from column 1.
  if (!o.TRANSMIT && o.TRMODE == 1 && s.DECLCOPY && !s.INPROC) o.TRSTART = 1;
  o.TRANSMIT = true;
  SENDSRC(c, s.KSTART, o.CURCH);
  o.TRANSMIT = false;
  if (word == "RET"sv) {
    d.W.RETFLAG = true;
    RECID(c);
    MUSTBE(c, ':');
    s.K++;
    RECID(c);
    EXPECTINTEGER(c, "integer constant expected");
    d.W.RETORDER = INTVALUE(s.IDENT, false);
  }
  bool stop = d.ENDMODE == TE_STOP;
  if (!stop) {
    RECID(c);
    MUSTBE(c, ';');  // a word here would be dropped
    s.K++;
  }
  SENDPIECE(c, o.CURCH, RESULTTYPE[stop], false);
  o.TRSTART = s.K;
  o.TRANSMIT = true;
  if (stop)
    ENDTYPE(c);
  else
    RECID(c);
}

// A type already in the type list (not one of the five structured words).
void DEFINEDTYPE(Compiler& c) {
  Names& n = c.names;
  TypeWork& w = c.decl.W;
  TypeRecord* t = n.TYPEREC;
  int no = n.TYPENO;
  TRACELN(c, "ES UN TIPO YA DEFINIDO ", t->NOM);
  std::string word = t->NOM;
  bool real = word == "CONT"sv || word == "FREQ"sv || word == "RET"sv;
  if (TOPTYPE(c)) {  // TYPE A = B: A is another name of what B is
    TypeRecord* a = ADDTYPE(c, real ? "REAL" : t->TIPO);
    if (!real) {
      a->BOUNDS = t->BOUNDS;
      a->NSUB = t->NSUB;
      a->TYPEL = t->TYPEL;
      a->TARGET = t->TARGET;
      a->NPARAM = t->NPARAM;
      a->FIELDS = t->FIELDS;
    }
  }
  if (real)
    CONTTYPE(c, word);
  else
    ENDTYPE(c);
  n.DIRECTCODE = TYPECODEOF(c, no);
  n.TYPEL = t->TYPEL.empty() ? " " : t->TYPEL;
  if (w.TYPEKIND == 0) w.TYPEKIND = TYPENUMBER(c, t->TIPO);
  w.TIPOTIPO = real ? "REAL" : t->TIPO;
  TRACELN(c, "SI SE PROCESA VARIABLE (TIPO ", t->NOM, " TYPEL=", n.TYPEL);
}

// A word not in the type list: PROCEDURE, a subrange or a scalar type.
void UNKNOWNTYPE(Compiler& c) {
  Source& s = c.src;
  if (s.IDENT == "PROCEDURE"sv) {
    PRTIPRO(c);
    c.names.SCOPE = "MAIN";
    RECID(c);  // PRTIPRO stepped over the ";" already
    return;
  }
  bool ok;
  SUBRANGE(c, ok, TOPTYPE(c));
  if (!ok) ERROR(c, "invalid type");
  ENDTYPE(c);
}

}  // namespace

void TYPERESET(Compiler& c) {
  Names& n = c.names;
  c.decl.W = TypeWork();
  n.NSUB = 0;
  n.BOUNDS.clear();
  n.TYPEL = " ";
  n.DIRECTCODE = 0;
}

// TYPE name "=" type { name "=" type }
void PROTYPE(Compiler& c) {
  Source& s = c.src;
  Decl& d = c.decl;
  TRACELN(c, "PROTYPE, VA A BUSCAR TIPO");
  for (RECID(c); !s.IDREAD; RECID(c)) s.K++;
  BUCLADE(c);
  d.TYPDECL = true;
  while (!d.CLASSFOUND) {
    d.NOM2 = s.IDENT;
    RECID(c);
    MUSTBE(c, '=');
    s.K++;
    RECID(c);
    TYPERESET(c);
    d.ENDMODE = TE_DECL;
    d.VARTYPE = false;
    d.TYPEROOT = true;
    BUTYPE(c);
    d.TYPEROOT = false;
    BUCLADE(c);
  }
  d.TYPDECL = false;
}

// BUTYPE -> typename | ARRAY.. | STRING.. | RECORD.. | SET.. | FILE..
//         | PROCEDURE.. | ^name | (a, b, ..) | lo..hi
void BUTYPE(Compiler& c) {
  Source& s = c.src;
  NESTED level(c);
  Names& n = c.names;
  Decl& d = c.decl;
  TRACELN(c, "BUTYPE; BUSQUEDA DEL TIPO DE ", s.IDENT);
  d.TYPEDEPTH++;
  d.W.RETFLAG = false;
  bool ok;
  if (!s.IDREAD) {
    if (s.CH == '(') {
      PRSCALAR(c, TOPTYPE(c));
      ENDTYPE(c);
    } else if (s.CH == '^')
      PRPOINTER(c);
    else if (s.CH == '-' || s.CH == '+')
      UNKNOWNTYPE(c);
    else
      ERROR(c, "( or ^  or ' expected");
  } else if (ISSTRING(s)) {  // a character: 'a'..'z'
    SUBRANGE(c, ok, TOPTYPE(c));
    if (!ok) ERROR(c, "invalid type");
    ENDTYPE(c);
  } else {
    const TypeRecord* type = TYPELOOK(c);
    if (!type) {
      UNKNOWNTYPE(c);
    } else {
      d.W.LASTTYPENAME = type->NOM;
      int no = n.TYPENO;
      if (no <= T_FILE && d.W.TYPEKIND == 0) d.W.TYPEKIND = no;
      switch (no) {
        case T_ARRAY: PRARRAY(c); break;
        case T_STRING: PRSTRING(c); break;
        case T_RECORD: PRRECORD(c); break;
        case T_SET: PRSET(c); break;
        case T_FILE: PRFILE(c); break;
        default: DEFINEDTYPE(c); break;
      }
    }
  }
  d.TYPEDEPTH--;
  TRACELN(c, "SALE DE BUTYPE, TIPO: ", s.TIPO, " TIPOTIPO: ", d.W.TIPOTIPO);
}

void ENDTYPE(Compiler& c) {
  Source& s = c.src;
  switch (c.decl.ENDMODE) {
    case TE_FIELD:
      // ";" and the next field, or END (PROVAR takes it).
      RECID(c);
      if (!s.IDREAD) {
        EXPECT(c, ';');
        s.K++;
        RECID(c);
      } else if (s.IDENT != "END"sv) {
        ERROR(c, "END expected");
      }
      break;
    case TE_STOP:
      RECID(c);
      if (s.IDREAD || (s.CH != ';' && s.CH != ')' && s.CH != '='))
        ERROR(c, "incorrect  character");
      break;
    case TE_DECL:
      BUSPOCO(c);
      break;
  }
}

// ARRAY "[" sub {"," sub} "]" OF type. An array of arrays counts its
// subscripts together.
void PRARRAY(Compiler& c) {
  Source& s = c.src;
  Names& n = c.names;
  Decl& d = c.decl;
  TypeWork& w = d.W;
  bool outer = d.ARRAYDEPTH == 0;
  d.ARRAYDEPTH++;
  if (outer) {
    w.CONARR = 1;
    n.NSUB = 0;
    n.BOUNDS.clear();
  }
  w.TYPEKIND = T_ARRAY;
  RECID(c);
  MUSTBE(c, '[');
  s.K++;
  RECID(c);
  for (;;) {
    n.NSUB++;
    bool ok;
    SUBROSIM(c, ok);
    if (w.SUBNUM) {
      long long size = static_cast<long long>(w.SUBHI) - w.SUBLO + 1;
      w.CONARR = std::min<long long>(w.CONARR * std::max(size, 0LL), INT_MAX);
      w.LASTDIM = static_cast<int>(std::min<long long>(size, INT_MAX));
      n.BOUNDS.push_back(Bound{w.SUBLO, w.SUBHI});
      TRACELN(c, "ARREGLO  TIPO ", d.NOM2, "MIN ", w.SUBLO, " MAX ", w.SUBHI,
              " NUM.SUB ", n.NSUB);
    }
    if (s.CH == ']') break;
    s.K++;
    RECID(c);
  }
  s.K++;
  RECID(c);
  EXPECTWORD(c, "OF");
  RECID(c);
  EXPECTIDENT(c, "identifier expected");
  std::string element = s.IDENT;
  BUTYPE(c);
  if (element != "ARRAY"sv) n.TYPEL = element;
  w.TIPOTIPO = "ARRAY";
  d.ARRAYDEPTH--;
  if (outer && TOPTYPE(c)) ADDTYPE(c, "ARRAY")->FIELDS = w.FIELDTREE;
}

void SUBROSIM(Compiler& c, bool& ok) {
  TRACELN(c, "SUBRANGO O SIMPLE ENTRA SUBROSIM ", c.src.IDENT);
  SUBRANGE(c, ok, false);
  TRACELN(c, ok ? "SUBINDICE O ELEM. TIPO SUBRANGO" : "SUBIND. O ELEMENTO TIPO SIMPLE   ");
}

// SUBRANGE -> 'c'..'c' | int..int | const..const | scalar-type-name
// Leaves CH on the terminator, which is not consumed.
void SUBRANGE(Compiler& c, bool& ok, bool declares) {
  Source& s = c.src;
  TypeWork& w = c.decl.W;
  enum { CHARB, NUMB, NAMEB } kind;
  std::string lotype;
  ok = false;
  w.SUBNUM = false;
  int lo = 0, hi = 0;
  if (ISSTRING(s)) {
    if (!ONECHAR(s)) ERROR(c, "' not followed of character");
    kind = CHARB;
  } else if (INTBOUND(c, lo)) {
    kind = NUMB;
  } else {
    if (!s.IDREAD) ERROR(c, "incorrect subscript: " + s.IDENT);
    std::string name = s.IDENT;
    if (const NameNode* e = BUSIDAR1(c)) {
      kind = NAMEB;
      lotype = e->TIPO;
    } else {
      TypeRecord* t = FINDTYPE(c, name);
      if (!t) ERROR(c, "incorrect subscript: " + name);
      if (t->TIPO != "SCALAR"sv) ERROR(c, "incorrect type");
      ok = true;  // a whole enumeration
      RECID(c);
      if (s.IDREAD || !SUBRANGEEND(s.CH)) ERROR(c, ", or ; or ] expected");
      return;
    }
  }
  RECID(c);
  if (s.IDREAD || s.CH != '.') return;  // not a subrange
  if (s.at(s.K + 1) != '.') ERROR(c, ". expected");
  s.K += 2;
  RECID(c);
  if (kind == CHARB) {
    if (!ONECHAR(s)) ERROR(c, "character expected.");
  } else if (kind == NUMB) {
    bool negative = false;
    if (!s.IDREAD && (s.CH == '-' || s.CH == '+')) {
      negative = s.CH == '-';
      s.K++;
      RECID(c);
    }
    EXPECTINTEGER(c, "integer number expected");
    hi = INTVALUE(s.IDENT, negative);
    w.SUBNUM = true;
    w.SUBLO = lo;
    w.SUBHI = hi;
  } else {
    std::string name = s.IDENT;
    if (!s.IDREAD || name.empty()) ERROR(c, "incorrect subscript " + name);
    BUSIDAR1(c);
    if (!c.names.FOUND || s.TIPO != lotype) ERROR(c, "incorrect subscript " + name);
  }
  ok = true;
  w.TIPOTIPO = "SUBRA";
  if (declares) ADDTYPE(c, "SUBRA");
  RECID(c);
  if (s.IDREAD || !SUBRANGEEND(s.CH)) ERROR(c, ", or ; or ] expected");
}

// STRING [ "[" length "]" ]
void PRSTRING(Compiler& c) {
  Source& s = c.src;
  Decl& d = c.decl;
  if (d.W.TYPEKIND != T_ARRAY) d.W.TYPEKIND = T_STRING;
  RECID(c);
  bool stop = d.ENDMODE == TE_STOP;
  if (s.IDREAD || (s.CH != '[' && s.CH != ';' && !(stop && (s.CH == ')' || s.CH == '='))))
    ERROR(c, "; or [ expected");
  if (s.CH == '[') {
    s.K++;
    RECID(c);
    EXPECTINTEGER(c, "integer number expected");
    int length = INTVALUE(s.IDENT, false);
    if (length > 255) ERROR(c, "string > 255");
    c.names.DIRECTCODE = length;
    RECID(c);
    EXPECT(c, ']');
    s.K++;
  } else {
    c.names.DIRECTCODE = 1;
  }
  d.W.TIPOTIPO = "STRING";
  if (TOPTYPE(c)) ADDTYPE(c, "STRING");
  ENDTYPE(c);
}

NameNode* READFIELDS(Compiler& c) {
  Snapshot keep = SAVE(c);
  c.names.ROOT = nullptr;
  c.decl.MODE = VarMode();
  c.decl.MODE.FIELDS = true;
  PROVAR(c);
  NameNode* tree = c.names.ROOT;
  RESTORE(c, keep);
  return tree;
}

// RECORD field-list END. A variable's own record only sets ANONREC: its
// PROVAR reads the fields below the variable. Elsewhere the fields are
// read here, into the tree of the record type.
void PRRECORD(Compiler& c) {
  Source& s = c.src;
  Decl& d = c.decl;
  PEEK(c);  // the field reader reads the name
  if (!s.IDREAD) ERROR(c, "error in field name");
  d.W.TIPOTIPO = "RECORD";
  if (d.VARTYPE) {
    TRACELN(c, "A PROCESAR VARIABLE RECORD");
    d.W.ANONREC = true;
  } else {
    TRACELN(c, "A PROCESAR TIPO RECORD");
    TypeRecord* t = TOPTYPE(c) ? ADDTYPE(c, "RECORD") : nullptr;
    NameNode* tree = READFIELDS(c);
    if (t) t->FIELDS = tree;
    d.W.FIELDTREE = tree;
  }
  TRACELN(c, "SALE DE PRRECORD");
}

// SET OF ( (a, b) | lo..hi | scalar-type )
void PRSET(Compiler& c) {
  Source& s = c.src;
  Decl& d = c.decl;
  d.W.TYPEKIND = T_SET;
  RECID(c);
  EXPECTWORD(c, "OF");
  RECID(c);
  bool ok;
  if (!s.IDREAD && s.CH == '(')
    PRSCALAR(c, false);
  else if (s.IDREAD || s.CH == '-' || s.CH == '+')
    SUBROSIM(c, ok);
  else
    ERROR(c, "type expected");
  d.W.TIPOTIPO = "SET";
  if (TOPTYPE(c)) ADDTYPE(c, "SET");
  ENDTYPE(c);
}

// FILE [OF type]
void PRFILE(Compiler& c) {
  Source& s = c.src;
  Names& n = c.names;
  Decl& d = c.decl;
  RECID(c);
  if (s.IDENT != "OF"sv) {
    bool stop = d.ENDMODE == TE_STOP;
    if (s.IDREAD || (s.CH != ';' && !(stop && (s.CH == ')' || s.CH == '='))))
      ERROR(c, "type or ; expected");
    n.TYPEL = "UNTYPED";
    d.W.TIPOTIPO = "FILE";
    if (TOPTYPE(c)) ADDTYPE(c, "FILE");
    ENDTYPE(c);
    return;
  }
  RECID(c);
  EXPECTIDENT(c, "identifier expected");
  std::string element = s.IDENT;
  BUTYPE(c);
  n.TYPEL = element;
  d.W.TIPOTIPO = "FILE";
  if (TOPTYPE(c)) ADDTYPE(c, "FILE");
}

// "^" name: the pointed type may be declared later, so it must not be a
// type (or a reserved word) yet.
void PRPOINTER(Compiler& c) {
  Source& s = c.src;
  TypeWork& w = c.decl.W;
  s.K++;
  RECID(c);
  if (NOWORD(s)) ERROR(c, "invalid pointer type");
  std::string target = CUT(s.IDENT, NAMEMAX);
  CHKNAME(c);
  w.TIPOTIPO = "POINTER";
  w.TARGET = target;
  if (w.TYPEKIND == 0) w.TYPEKIND = TYPENUMBER(c, "POINTER");
  if (TOPTYPE(c)) {
    ADDTYPE(c, "POINTER")->TARGET = target;
    TRACELN(c, "PROCESADO ", c.decl.NOM2, " A ", target);
  }
  ENDTYPE(c);
}

// "(" name {"," name} ")": the names become constants of the enumeration.
// K is left past the ")"; the caller ends the type.
void PRSCALAR(Compiler& c, bool declares) {
  Source& s = c.src;
  Names& n = c.names;
  std::string type = declares ? c.decl.NOM2 : "SCALAR";
  if (declares) {
    ADDTYPE(c, "SCALAR");
    TRACELN(c, "PRESC TIPO ESCALAR AGREGADO ", c.decl.NOM2);
  }
  do {
    s.K++;
    RECID(c);
    if (NOWORD(s)) ERROR(c, "error in type");
    n.DIRECTADD = true;
    n.DIRECTCODE = 1;
    s.TIPO = type;
    STVNAME(c, true, s.IDENT);
    n.DIRECTADD = false;
    RECID(c);
    if (s.IDREAD || (s.CH != ',' && s.CH != ')')) ERROR(c, "error in type");
  } while (s.CH != ')');
  s.K++;
  c.decl.W.TIPOTIPO = "SCALAR";
  n.DIRECTCODE = 1;
}

// PROCEDURE [ "(" formal parameters ")" ] ";" — the ";" is stepped over.
// The parameter names go to a tree of their own: they name nothing.
void PRTIPRO(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Decl& d = c.decl;
  TRACELN(c, "ENTRY TO PRTIPRO");
  d.FUNCRESULT = false;
  RECID(c);
  MUSTBEONE(c, "(;", "( or ; expected");
  bool params = s.CH == '(';
  s.K++;
  int count = 0;
  if (params) {
    Snapshot keep = SAVE(c);
    {
      KEEPTRANSMIT transmit(o);
      c.names.ROOT = nullptr;
      d.MODE = VarMode();
      d.MODE.FORMAL = d.MODE.NOTREE = true;
      PROVAR(c);
      count = d.PARAMCOUNT;
    }
    RESTORE(c, keep);
  }
  d.W.TIPOTIPO = "PROCEDURE";
  d.W.NPARAM = count;
  if (TOPTYPE(c)) ADDTYPE(c, "PROCEDURE")->NPARAM = count;
  TRACELN(c, "RECOGIDO TIPO PROC. ", d.NOM2);
}

void NAMEDTYPE(Compiler& c) {
  Decl& d = c.decl;
  TYPERESET(c);
  d.W.TYPNAME = c.src.IDENT;
  d.ENDMODE = TE_STOP;
  d.VARTYPE = false;
  BUTYPE(c);
}
