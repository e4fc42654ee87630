// Source text and scanning: the line store with its shared position, the
// line advance that transmits finished lines, and the scanner.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>
#include "source/source_state.h"

struct Compiler;

// ---- line store (line_store.cpp)
void CREALIN(Compiler& c);
// The build from text already read (tests, and CREALIN itself).
void CREALINFROM(Compiler& c, std::string_view content);
void VERFLIN(Compiler& c);
// The source text from column k0 of line pl0 up to column k1 (not
// included) of line pl1, the lines joined by one blank.
std::string SOURCETEXT(const Compiler& c, int pl0, int k0, int pl1, int k1);

// ---- nesting (nesting.cpp)
// Every recursive construct (expression, statement, type, constant list)
// opens a level; past MAXNESTING levels, or when the levels have used the
// stack room of the run, the model error "nesting too deep" stops the
// translation where it stands instead of overflowing the stack.
constexpr int MAXNESTING = 2000;
constexpr size_t STACKDEFAULT = size_t(4) << 20;  // a run on an ordinary thread
struct NESTED {
  Source& s;
  explicit NESTED(Compiler& c);
  ~NESTED() { --s.NESTING; }
  NESTED(const NESTED&) = delete;
  NESTED& operator=(const NESTED&) = delete;
};
// Stack bytes below the outermost open level (0 when none is open).
size_t STACKUSED(const Source& s);

// ---- scanner (scanner.cpp)
void RECID(Compiler& c);
// Reads the next token like RECID but leaves the position on its first
// character, so that the next RECID (or a reader calling it) takes the
// same token again without scanning it twice.
const Token& PEEK(Compiler& c);
// Steps over the token PEEK just read, as RECID would have.
void STEPPAST(Compiler& c);
// The token just read, as a value.
Token CURTOKEN(const Source& s);
bool SKIPBL(Compiler& c);   // true when a blank was found
bool SKIPCOM(Compiler& c);  // true when a comment was found
void RECNUM(Compiler& c);
void RECDIG(Compiler& c);
void RECEXP(Compiler& c);
void RECSTR(Compiler& c);
bool ISDELIM(char ch);

// ---- what the token just read is (tokens.cpp)
// A reader that rewrote IDENT or IDREAD by hand makes the kind agree.
void RETOKEN(Source& s);
inline bool ISSTRING(const Source& s) { return s.KIND == TokKind::String; }
// A word or a number: a token with text.
inline bool HASTEXT(const Source& s) {
  return s.KIND == TokKind::Word || s.KIND == TokKind::Number;
}
bool NOWORD(const Source& s);       // not a word (a character or a string)
bool UNSIGNEDINT(const Source& s);  // an integer without sign or point
bool WORDIS(const Source& s, std::string_view w);  // the word w
bool ENDORELSE(const Source& s);    // END or ELSE: a statement ends here
std::string WHAT(const Source& s);  // the word, or the character, as read
// The token checks (EXPECT, in diag.cpp, looks at CH alone).
void MUSTBE(Compiler& c, char ch);  // the character ch, else "ch expected"
void MUSTBEPAIR(Compiler& c, std::string_view t);  // ":=", "::": else "t expected"
// One of the characters, else msg (which names them in its own order).
void MUSTBEONE(Compiler& c, std::string_view chars, std::string_view msg);
void EXPECTWORD(Compiler& c, std::string_view w);  // the word w, else "w expected"
void NEEDWORD(Compiler& c, std::string_view w, std::string_view msg);  // the word w, else msg
void ONEWORD(Compiler& c, std::initializer_list<std::string_view> words, std::string_view msg);
void EXPECTIDENT(Compiler& c, std::string_view msg);     // not a character, else msg
void EXPECTNAME(Compiler& c, std::string_view msg);      // a word or a number, else msg
void EXPECTNUMBER(Compiler& c, std::string_view msg);    // a number, else msg
void EXPECTINTEGER(Compiler& c, std::string_view msg);   // an integer number, else msg
void EXPECTUNSIGNED(Compiler& c, std::string_view msg);  // digits alone, else msg
