// Expressions: checking expressions, the classification of the token just
// read, and the function calls the generated program needs in another form.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "expr/expr_state.h"

struct Compiler;

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
