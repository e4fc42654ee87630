// Shared pieces of the message-flow instructions (flow_*.cpp): sending
// generated text, the current node, the message context, and the readers
// of arguments that several instructions share. Not used outside them but
// by the dispatcher's table of instructions, which names their translators.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include "ground/ground.h"

struct Compiler;
struct NodeRecord;

// ---- generated text (flow_common.cpp)
// A piece to channel ch (force: on a new line). Pieces longer than an
// output line are cut at blanks or after ';' outside quotes, never inside
// a word, so long names do not cut generated text short.
void EMITCH(Compiler& c, ChannelNo ch, std::string_view text, bool force);
void EMIT(Compiler& c, std::string_view text, bool force);  // to CURCH

// ---- the current node
char CURTYPE(const Compiler& c);  // its type letter, ' ' outside node code
const NodeRecord* CURREC(const Compiler& c);  // null outside node code
bool ISNODE(Compiler& c, const std::string& name, int* node = nullptr);

// ---- the message context: what an instruction's statement acts on.
// Saved on entry, put back on exit (also when an error unwinds).
class MSGCONTEXT {
 public:
  MSGCONTEXT(Compiler& cc, const char* v, bool h, std::string o, bool ov);
  ~MSGCONTEXT();
  MSGCONTEXT(const MSGCONTEXT&) = delete;
  MSGCONTEXT& operator=(const MSGCONTEXT&) = delete;

 private:
  Compiler& c;
  std::string var, origin;
  int held;
  bool ovars;
};
// A switch on for the life of the guard.
struct FLAGON : KEEP<bool> {
  FLAGON(bool& flag, bool v = true) : KEEP(flag, v) {}
};
bool HELDNOW(const Compiler& c);            // "#": taken from the node's own list
std::string ORIGINNOW(const Compiler& c);   // the list it was taken from
std::string HELDTEXT(const Compiler& c);    // "true" or "false"
// "_upvr(/^.r,/^.b);" or, when the fields are in the O_ twins, "_upvro".
std::string PACKTEXT(const Compiler& c);

// ---- readers
void OPENARGS(Compiler& c);   // "(" after the keyword
void NEXTARG(Compiler& c);    // ","
void CLOSEARGS(Compiler& c);  // ")"
// A list: EL_ or IL_ designator, or a node (its IL, else its EL), with its
// subscript; node is the list's node.
std::string LISTARG(Compiler& c, int& node);
// A message field of a record (not an O_ twin), or null.
struct NameNode* FIELDLOOK(Compiler& c);
// Where transmission resumes for END or ELSE left to the caller.
int BEFOREWORD(const Compiler& c);
// After the statement of an instruction: its text up to the ";", END or
// ELSE that ended it goes to ch, and that terminator stays to be sent
// after the instruction's own closing text.
void STATEMENTDONE(Compiler& c, ChannelNo ch);
// The statement an instruction holds, translated into channel ch.
void HELDSTATEMENT(Compiler& c, ChannelNo ch);

// ---- handlers, one per instruction group
void PRACT(Compiler& c, bool deact);
void PRSWITCH(Compiler& c, Inst kw);  // __STOP, __STOPALL, __GO, __GOALL, NOTFREE
void PRFREE(Compiler& c);
void PRFIFO(Compiler& c, bool lifo);
void PRORDER(Compiler& c);
void PRBLOCK(Compiler& c);
void PRSENDTO(Compiler& c);
void PRAGRE(Compiler& c);
void PRDESTROY(Compiler& c);
void PRCREATE(Compiler& c);
void PREXTR(Compiler& c);
void PRREL(Compiler& c);
void PRSCAN(Compiler& c);
void PRSORT(Compiler& c);
void PRCOPYMESS(Compiler& c);
void PRDISASSEMBLE(Compiler& c);
void PRPREEMPTION(Compiler& c);
void PRSELECT(Compiler& c);
void PRSYNC(Compiler& c, bool assemble);
