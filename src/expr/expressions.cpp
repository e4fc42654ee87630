// Expression translator: PREXP checks one expression of node code, INIT or
// a procedure and leaves the scanner on what ended it; the text itself
// reaches the output by transmission, apart from what the classifier
// splices in (function calls, dbase variables). PRSUBS reads subscript
// lists; PRNODO and PRNODSUB read a node reference into NODNAME, NODNUM,
// NODTYPE, NODSUB for the instruction that asked for it.
// Reads the scanner state, LBF and the context switches INARGS, INSUBS,
// INWRITE, INACT; called by the statement and instruction translators and,
// through the classifier, by the function-call readers.
#include <ostream>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "symbols/keywords.h"
#include "expr/expr.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What the classifier decided about the token being classified. A function
// call is read while the classifier is still deciding on its name, and the
// argument expressions classify tokens of their own: PREXP puts the
// decision back when it returns.
struct KEEPCLASS {
  Compiler& c;
  ClassRule KC;
  std::string TIPO;
  bool NOTFOUND, FOUND;
  NameNode* CURENT;
  explicit KEEPCLASS(Compiler& cc)
      : c(cc), KC(cc.src.KC), TIPO(cc.src.TIPO), NOTFOUND(cc.src.NOTFOUND),
        FOUND(cc.names.FOUND), CURENT(cc.names.CURENT) {}
  ~KEEPCLASS() {
    c.src.KC = KC;
    c.src.TIPO = TIPO;
    c.src.NOTFOUND = NOTFOUND;
    c.names.FOUND = FOUND;
    c.names.CURENT = CURENT;
  }
  KEEPCLASS(const KEEPCLASS&) = delete;
  KEEPCLASS& operator=(const KEEPCLASS&) = delete;
};

// The expression would start past the block: nothing is read.
void PASTBLOCK(Compiler& c) {
  *c.drv.out << "PASADO DE LINEA****\n";
  TRACEWAIT(c);
}

// The variable just classified, or null for any other operand.
NameNode* VARENTRY(Compiler& c) {
  if (c.src.KC != ClassRule::Variable || !c.names.FOUND) return nullptr;
  return c.names.CURENT;
}

// Subscripts of array and string variables. Sets pending when the token
// after the operand has been read already.
//   array  -> name "[" subscripts "]"     (a named array type: the bare name
//                                           is accepted as an argument)
//   string -> name ["[" index "]"]
void ARRAYRULE(Compiler& c, bool& pending) {
  Source& s = c.src;
  NameNode* e = VARENTRY(c);
  if (!e) return;
  if (s.TIPO == "ARRAY"sv) {
    RECID(c);
    PRSUBS(c, e->NSUB);
  } else if (e->TYPTYP == "ARRAY"sv) {
    RECID(c);
    if (!s.IDREAD && s.CH == '[')
      PRSUBS(c, e->NSUB);
    else if (!c.expr.INARGS)
      ERROR(c, "[ expected");
    else
      pending = true;
  } else if (s.CH == '[') {
    RECID(c);
    PRSUBS(c, e->NSUB);
  } else if (s.TIPO == "STRING"sv) {
    RECID(c);
    if (!s.IDREAD && s.CH == '[')
      PRSUBS(c, 1);
    else
      pending = true;
  }
}

// paren -> "(" expression ")"   (CH on "(")
void PAREN(Compiler& c) {
  c.src.K++;
  PREXP(c);
  EXPECT(c, ')');
}

// An operand that starts with a special character:
//   "(" expression ")" | ("+" | "-" | NOT) operand | string
void SPECIALOPERAND(Compiler& c, bool notsign, bool& pending) {
  Source& s = c.src;
  switch (s.CH) {
    case '\'':
      RECSTR(c);
      break;
    case '(':
      PAREN(c);
      break;
    case '+':
    case '-':
      if (!notsign) s.K++;
      RECID(c);
      CLASIFY(c);
      ARRAYRULE(c, pending);
      if (!pending && !s.IDREAD && s.CH == '(') PAREN(c);
      break;
    default:
      ERROR(c, "illegal term");
  }
}

bool OPERANDCLASS(ClassRule kc) {
  switch (kc) {
    case ClassRule::Variable: case ClassRule::ValuedFunction: case ClassRule::String:
    case ClassRule::Tsim: case ClassRule::Number: case ClassRule::Boolean:
    case ClassRule::Function:
      return true;
    default:
      return false;
  }
}

// operand -> variable | constant | function call | "(" expression ")"
//          | sign operand
// Returns false when the block ended before it.
bool OPERAND(Compiler& c, bool& pending) {
  Source& s = c.src;
  RECID(c);
  if (s.LB >= c.stmt.LBF) return false;
  bool notsign = WORDIS(s, "NOT");
  if (notsign) {
    s.CH = '-';
    s.IDREAD = false;
    RETOKEN(s);
  } else {
    CLASIFY(c);
  }
  pending = false;
  if (s.IDREAD) {
    ARRAYRULE(c, pending);
    if (!OPERANDCLASS(s.KC)) ERROR(c, "variable, function or constant expected");
  } else {
    SPECIALOPERAND(c, notsign, pending);
  }
  return true;
}

// What follows an operand, as an operator character: a word operator is
// mapped ('+' next term, '*' or '/' next factor, 'E' end of expression),
// any other token gives its character.
char OPERATOR(Compiler& c, bool pending) {
  Source& s = c.src;
  TRACELN(c, "VER SIG A VAR. O FAC.PL^.CON[K] ", s.at(s.K));
  TRACEWAIT(c);
  if (!pending) RECID(c);
  if (!s.IDREAD) return s.CH;
  // The last statement of a REPEAT may end before its UNTIL.
  if (s.IDENT == "UNTIL"sv && c.stmt.REPEATDEPTH > 0) return 'E';
  RESWORD(c);
  switch (c.kw.IDX) {
    case RW_OR: case RW_XOR: case RW_IN: case RW_MOD:
      return '+';
    case RW_AND:
      return '*';
    case RW_DIV:
      return '/';
    case RW_END: case RW_THEN: case RW_ELSE: case RW_DO: case RW_TO:
    case RW_DOWNTO: case RW_OF: case RW_NOT:
      return 'E';
    default:
      ERROR(c, "invalid character following factor or missing separator");
  }
}

bool LISTCONTEXT(const Expr& x) {
  return x.INARGS || x.INSUBS || x.INWRITE || x.INACT;
}

}  // namespace

// expression -> term {("+" | "-" | OR | XOR | IN | MOD) term}
//               [relation expression]
// term       -> operand {("*" | "/" | AND | DIV) operand}
// Relations take all that follows as one expression: precedence levels
// are not checked apart.
void PREXP(Compiler& c) {
  Source& s = c.src;
  NESTED level(c);
  KEEPCLASS keep(c);
  TRACELN(c, "SE BUSCA EXPRESION");
  if (s.LB >= c.stmt.LBF) {
    PASTBLOCK(c);
    return;
  }
  for (;;) {
    char op;
    for (;;) {
      bool pending;
      if (!OPERAND(c, pending)) return;
      op = OPERATOR(c, pending);
      bool word = s.IDREAD;
      if (op != '*' && op != '/') break;
      if (!word) s.K++;
    }
    TRACELN(c, "SE RECOGIO TERMINO");
    if (op == 'E') break;
    if (!s.IDREAD) s.K++;
    if (op == '+' || op == '-') continue;
    switch (op) {
      case ')': case ';': case ':': case ']':
        break;
      case ',':
        if (!LISTCONTEXT(c.expr)) ERROR(c, "illegal  ,  after expression");
        break;
      case '<':
        if (s.at(s.K) == '=' || s.at(s.K) == '>') s.K++;
        PREXP(c);
        break;
      case '>':
        if (s.at(s.K) == '=') s.K++;
        PREXP(c);
        break;
      case '=':
        PREXP(c);
        break;
      default:
        ERROR(c, "in expression");
    }
    break;
  }
  TRACELN(c, "RECOGIDA EXPRESION TERMINADA CON CH ", s.CH, "  NOM ", s.IDENT);
  TRACEWAIT(c);
}

// subscripts -> "[" expression {"," expression} "]" ["." field]
// The switch is put back as it was, so that a subscript list inside
// another one leaves the outer list's commas acceptable.
void PRSUBS(Compiler& c, int n) {
  Source& s = c.src;
  TRACELN(c, "ENTRA A VER PARENTESIS");
  TRACEWAIT(c);
  MUSTBE(c, '[');
  s.K++;
  bool outer = c.expr.INSUBS;
  c.expr.INSUBS = true;
  do {
    TRACELN(c, "A RECOGER ", n, "  SUBINDICES");
    PREXP(c);
    if (s.CH != ']' && s.CH != ',') ERROR(c, "] or , expected");
  } while (s.CH != ']');
  if (s.at(s.K) == '.') {
    s.K++;
    RECID(c);
  }
  c.expr.INSUBS = outer;
  s.IDREAD = true;
  RETOKEN(s);
}

// noderef -> name ["[" subscript "]"]   (subscripted only when multiple)
void PRNODO(Compiler& c, bool required) {
  Source& s = c.src;
  Expr& x = c.expr;
  s.NOTFOUND = true;
  x.NODSUB = "1";
  RECID(c);
  if (!BUSNODE(c)) {
    if (required) ERROR(c, "node expected");
    return;
  }
  const NodeRecord& n = c.model.NodeTable[c.model.NODEIDX];
  x.NODNAME = CUT(s.IDENT, NODTEXTMAX);
  x.NODNUM = std::to_string(c.model.NODEIDX);
  x.NODTYPE = n.TIPO;
  if (n.MULT != 1) PRNODSUB(c);
}

// nodesub -> "[" (integer | integer variable | MIN | FREE) "]"
void PRNODSUB(Compiler& c) {
  Source& s = c.src;
  Expr& x = c.expr;
  const NodeRecord& n = c.model.NodeTable[c.model.NODEIDX];
  RECID(c);
  if (s.IDREAD || s.CH != '[') ERROR(c, "[ missing in node");
  s.K++;
  RECID(c);
  x.NODSUB = CUT(s.IDENT, NODTEXTMAX);
  bool special = s.IDENT == "MIN"sv || s.IDENT == "FREE"sv;
  bool number = s.ISNUM && s.ISINT;
  if (!number && !special) {
    BUSIDAR1(c);
    if (!c.names.FOUND) ERROR(c, "unknown identifier " + s.IDENT);
    if (s.TIPO != "INTEGER"sv && s.TIPO != "WORD"sv)
      ERROR(c, "integer identifier expected");
    x.NODVARSUB = true;
  }
  if (number && (s.IDENT.size() > 18 || std::stoll(s.IDENT) > n.MULT))
    ERROR(c, "subscript value exceeded");
  if (!special) x.NODNAME = CUT(x.NODNAME + "[" + x.NODSUB + "]", NODTEXTMAX);
  RECID(c);
  if (s.IDREAD || s.CH != ']') ERROR(c, "invalid subscript");
  s.K++;
}
