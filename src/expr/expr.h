// Expressions: checking expressions, the classification of the token just
// read, and the function calls the generated program needs in another form.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Compiler;

// A table declared in TABLES: its name and its second name.
struct TableName {
  std::string NOM;
  std::string NOM2;
};

constexpr size_t NODTEXTMAX = 80;  // NODNAME and NODSUB are cut to this

// Subsystem 6 state.
struct Expr {
  std::vector<TableName> TABLES;  // in declaration order
  int TABPOS = 0;                 // position found by TABLOOK, from 0

  // Switches that let a comma end an expression; each owned by its setter.
  bool INARGS = false;   // arguments of a function or procedure call
  bool INSUBS = false;   // a subscript list (PRSUBS)
  bool INWRITE = false;  // arguments of a read or write statement
  bool INACT = false;    // arguments of ACT

  // The node reference read last by PRNODO / PRNODSUB.
  std::string NODNAME;     // name, with "[" subscript "]" when one was given
  std::string NODNUM;      // the node's number as decimal text
  char NODTYPE = ' ';      // its type letter
  std::string NODSUB;      // subscript as written: "1", digits, a name, MIN, FREE
  bool NODVARSUB = false;  // the subscript is a variable; cleared by callers

  bool SPLINENEW = false;  // _init allocates the SPLINE tables (once)
};

// ---- identifier classification (classify.cpp)
// Classifies the token just read and returns the rule that matched (also
// left in KC). Stands with the expressions: a call it meets is translated
// at once.
enum class ClassRule : std::uint8_t;
ClassRule CLASIFY(Compiler& c);

// ---- function calls (functions.cpp)
bool TABLOOK(Compiler& c, bool second);  // IDENT in the table list
void PRFUNPG(Compiler& c);  // a built-in function call
void PRFUNP(Compiler& c);   // a user function or procedure-variable call

// ---- valued functions (valued.cpp)
void PRFUNVSTMT(Compiler& c);  // a valued function at statement start
void PRFUNVINIT(Compiler& c);  // a valued function's points in INIT
void PRFUNV(Compiler& c);      // a valued-function call in an expression
void PRFUNVEXP(Compiler& c);   // the same (PRFUNV is kept for its callers)
void PRFUNVDECL(Compiler& c);  // vectors and evaluation functions (organisation)
void PRFUNVEND(Compiler& c);   // end of INIT: every function has its points

// ---- expressions (expressions.cpp)
// Reads one expression from the next token on; leaves CH (or, for THEN, DO,
// TO, DOWNTO, OF, ELSE, END, NOT and, inside REPEAT, UNTIL, IDENT) on what
// ended it, K past it.
void PREXP(Compiler& c);
// "[" expression {"," expression} "]" ["." field], entered with CH on "[";
// n is the declared dimension count (trace only).
void PRSUBS(Compiler& c, int n);
// A node name with its subscript; a missing node is an error only when
// required, otherwise NOTFOUND stays true.
void PRNODO(Compiler& c, bool required);
void PRNODSUB(Compiler& c);  // "[" subscript "]" after a node name

// ---- list designators (lists.cpp)
// Reads EL_node[...] ["(" pred ")"] or IL_node[...] and returns its list
// number as text (a subscripted node: first - 1, "+", the subscript).
std::string LISTREF(Compiler& c);
// The first entry of pred's successor list that leads to node, or null.
struct NodeLink;
NodeLink* SUCCTO(Compiler& c, int pred, int node);
