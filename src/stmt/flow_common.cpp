// Message-flow instructions: what their translators share — the output of generated pieces, the
// current node, the message context (which variable holds the message an instruction acts on,
// whether it came from the node's own list, from which list, and whether its fields are in the O_
// twins), and the argument readers. Reads CURNODE, ELTEXT, STATEPART and the context fields of
// Stmt; called by the translators of the flow group.
#include <cctype>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "stmt/flow.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; '/' and '*' are filled in.
constexpr const char* PACK[] = {"_upvr(/^.r,/^.b);", "_upvro(/^.r,/^.b);"};  // fields, O_ twins
constexpr const char* HELD[] = {"false", "true"};
constexpr const char* NOLIST = "0";
constexpr const char* LISTCOPY = "*+/";  // first list - 1, subscript
constexpr const char* FIRSTOF = "_fl[*]";
constexpr const char* LASTOF = "_ll[*]";
constexpr const char* WORDGAP = " ";

// Where a piece longer than an output line may be cut: the last blank, or
// the last ';', before the limit and outside a quoted string.
size_t CUTPOINT(std::string_view t) {
  size_t cut = 0;
  bool quoted = false;
  for (size_t i = 0; i < t.size() && i < static_cast<size_t>(LINEMAX); ++i) {
    if (t[i] == '\'') quoted = !quoted;
    if (!quoted && (t[i] == ' ' || t[i] == ';')) cut = i + 1;
  }
  return cut;
}

}  // namespace

void EMITCH(Compiler& c, ChannelNo ch, std::string_view text, bool force) {
  while (text.size() > static_cast<size_t>(LINEMAX)) {
    size_t cut = CUTPOINT(text);
    if (cut == 0) break;  // one word longer than a line: cut as any piece
    SENDPIECE(c, ch, text.substr(0, cut), force);
    force = false;
    text.remove_prefix(cut);
  }
  SENDPIECE(c, ch, text, force);
}

void EMIT(Compiler& c, std::string_view text, bool force) {
  EMITCH(c, c.out.CURCH, text, force);
}

char CURTYPE(const Compiler& c) {
  const NodeRecord* x = CURREC(c);
  return x ? x->TIPO : ' ';
}

const NodeRecord* CURREC(const Compiler& c) {
  int n = c.stmt.CURNODE;
  if (n <= 0 || n > c.model.NodeCount) return nullptr;
  return &c.model.NodeTable[n];
}

bool ISNODE(Compiler& c, const std::string& name, int* node) {
  auto it = c.model.NODENUM.find(CUT(name, NAMEMAX));
  if (it == c.model.NODENUM.end()) return false;
  if (node) *node = it->second;
  return true;
}

MSGCONTEXT::MSGCONTEXT(Compiler& cc, const char* v, bool h, std::string o, bool ov)
    : c(cc), var(cc.stmt.MSGVAR), origin(cc.stmt.ORIGIN), held(cc.stmt.HELD),
      ovars(cc.stmt.OVARS) {
  Stmt& t = c.stmt;
  t.MSGVAR = v;
  t.HELD = h ? 1 : 0;
  t.ORIGIN = std::move(o);
  t.OVARS = ov;
}

MSGCONTEXT::~MSGCONTEXT() {
  Stmt& t = c.stmt;
  t.MSGVAR = var;
  t.HELD = held;
  t.ORIGIN = origin;
  t.OVARS = ovars;
}

// Outside any instruction's statement the node's own message _px is the
// one in hand. It came from the node's list in every skeleton that takes
// messages from one (G, and L, R, D, E which extract it first); an I node
// makes it, other nodes have none.
bool HELDNOW(const Compiler& c) {
  const Stmt& t = c.stmt;
  if (t.HELD >= 0) return t.HELD == 1;
  switch (CURTYPE(c)) {
    case 'G': return !t.STATEPART;
    case 'L': case 'R': case 'D': case 'E': return true;
    default: return false;
  }
}

// The node's list for the nodes that take their messages from one.
std::string ORIGINNOW(const Compiler& c) {
  const Stmt& t = c.stmt;
  if (!t.ORIGIN.empty()) return t.ORIGIN;
  bool fromlist = std::string_view("GLRDE").find(CURTYPE(c)) != std::string_view::npos;
  return fromlist && !t.ELTEXT.empty() ? t.ELTEXT : NOLIST;
}

std::string HELDTEXT(const Compiler& c) { return HELD[HELDNOW(c)]; }

std::string PACKTEXT(const Compiler& c) {
  return FILLIN(PACK[c.stmt.OVARS], {{'/', c.stmt.MSGVAR}});
}

void OPENARGS(Compiler& c) {
  RECID(c);
  EXPECT(c, '(');
  c.src.K++;
}

void NEXTARG(Compiler& c) {
  RECID(c);
  EXPECT(c, ',');
  c.src.K++;
}

void CLOSEARGS(Compiler& c) {
  RECID(c);
  EXPECT(c, ')');
  c.src.K++;
}

namespace {

// The list of copy sub of a node whose first list is first.
std::string COPYLIST(Compiler& c, int first, int mult, const std::string& sub) {
  if (mult == 1) return std::to_string(first);
  if (sub == "MIN"sv || sub == "FREE"sv) ERROR(c, "invalid subscript");
  if (SMALLUNSIGNED(sub)) return std::to_string(first + std::stoi(sub) - 1);
  return FILLIN(LISTCOPY, {{'*', std::to_string(first - 1)}, {'/', sub}});
}

bool LISTWORD(const Source& s) {
  if (!s.IDREAD) return false;
  std::string_view k = std::string_view(s.IDENT).substr(0, 3);
  return k == "EL_"sv || k == "IL_"sv;
}

}  // namespace

// listarg -> ("EL_" | "IL_") node ... | node ["[" sub "]"]
std::string LISTARG(Compiler& c, int& node) {
  Source& s = c.src;
  PEEK(c);
  node = 0;
  if (LISTWORD(s)) {
    ISNODE(c, s.IDENT.substr(3), &node);
    return LISTREF(c);
  }
  if (s.IDREAD && ISNODE(c, s.IDENT, &node)) {
    PRNODO(c, true);
    const NodeRecord& y = c.model.NodeTable[node];
    int first = y.IL > 0 ? y.IL : y.EL;
    if (first <= 0) ERROR(c, "EL_ or IL_ expected");
    return COPYLIST(c, first, y.MULT, c.expr.NODSUB);
  }
  return LISTREF(c);  // refuses what is no list
}

// listpos -> list "," (FIRST | LAST | gpointer)
void PRLISTPOS(Compiler& c, std::string& list, std::string& pos) {
  Source& s = c.src;
  list = LISTREF(c);
  NEXTARG(c);
  RECID(c);
  if (WORDIS(s, "FIRST")) {
    pos = FILLIN(FIRSTOF, {{'*', list}});
  } else if (WORDIS(s, "LAST")) {
    pos = FILLIN(LASTOF, {{'*', list}});
  } else {
    std::string name = s.IDREAD ? s.IDENT : std::string(1, s.CH);
    const NameNode* e = s.IDREAD ? BUSIDAR1(c) : nullptr;
    if (!e || e->TIPO != "GPOINTER"sv)
      ERROR(c, "GPOINTER variable expected " + name);
    pos = name;
  }
}

NameNode* FIELDLOOK(Compiler& c) {
  Source& s = c.src;
  if (!s.IDREAD || s.IDENT.compare(0, 2, "O_") == 0) return nullptr;
  NameNode* e = BUSIDAR1(c);
  return e && e->MSG ? e : nullptr;
}

int BEFOREWORD(const Compiler& c) {
  const Source& s = c.src;
  int k = s.KSTART - 1;
  return k >= 1 && s.at(k) == ' ' ? k : s.KSTART;
}

// A statement that ends right before its ";" ends in a word ("END", a
// name, a number): a blank keeps it apart from the text that follows.
void STATEMENTDONE(Compiler& c, ChannelNo ch) {
  SENDSRC(c, c.src.KSTART, ch);
  c.out.TRSTART = c.src.KSTART;
  c.out.TRANSMIT = false;
  const std::string& buf = c.out.ch[ch].BUF;
  if (!buf.empty() && (std::isalnum(static_cast<unsigned char>(buf.back())) || buf.back() == '_'))
    SENDPIECE(c, ch, WORDGAP, false);
}

void HELDSTATEMENT(Compiler& c, ChannelNo ch) {
  c.out.TRANSMIT = true;
  c.out.TRSTART = c.src.K;
  PRINS(c);
  STATEMENTDONE(c, ch);
}
