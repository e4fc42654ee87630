// The state of source/ (the line store, the token and the shared position):
// data types only, held by the Compiler object; the routines are declared in
// source.h.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

constexpr char EOLCH_DEFAULT = '&';
constexpr int LINETEXT = 80;   // characters kept of a source line
constexpr int LINECELLS = 96;  // cells 1..96: room for the scanner's look-ahead

class LineStore;

// A stored line as the passes see it: cells 1..96, the text first, the end
// marker in every cell after it; reads past the cells give the marker too,
// and writes there are dropped.
class SourceLine {
 public:
  SourceLine(const LineStore& s, int i) : store(const_cast<LineStore*>(&s)), row(i) {}
  inline char at(int k) const;
  inline void put(int k, char ch);
  inline std::string_view text() const;
  inline int len() const;

 private:
  LineStore* store;
  int row;
};

// The lines of the model, eight bytes each besides their text, which lies
// back to back in blocks: a line costs little whatever its length, and the
// store grows without copying itself. A line written past its text (rare)
// gets cells of its own.
class LineStore {
 public:
  void clear(char fill);
  // Appends a line, its text cut to LINETEXT; false when the store is full.
  bool add(std::string_view text);
  size_t size() const { return recs.size(); }
  bool empty() const { return recs.empty(); }
  SourceLine operator[](int row) const { return SourceLine(*this, row); }

  // The scanner reads a line cell by cell: the row read last is kept at
  // hand (its cells, then blanks, then the marker) and found once.
  char at(int row, int k) const {
    if (k < 1) return '\0';
    if (row != hand.row) SEE(row);
    if (k <= hand.len) return hand.cells[k - 1];
    return k <= hand.blank ? ' ' : fill;
  }
  void put(int row, int k, char ch);
  // The row's cells from 1 on through one pointer, for loops that read
  // many: n of them are readable (the text, or every cell of a widened
  // row); past them at() keeps the rule.
  const char* cells(int row, int& n) const {
    if (row != hand.row) SEE(row);
    n = hand.len;
    return hand.cells;
  }
  // Control characters and codes above 172 in the row's text become blanks.
  void clean(int row);
  std::string_view text(int row) const {
    const Rec& r = recs[row];
    return r.wide ? std::string_view(WIDE[r.at].data(), r.len)
                  : std::string_view(BLOCKS[r.at / BLOCK].data() + r.at % BLOCK, r.len);
  }
  int len(int row) const { return recs[row].len; }

 private:
  static constexpr std::uint32_t BLOCK = 1 << 16;  // characters of a text block
  struct Rec {
    std::uint32_t at;     // first character (block * BLOCK + offset), or the row of WIDE
    std::uint8_t len;     // characters of text, at most LINETEXT
    std::uint8_t blanks;  // cells after the text that the line advance blanked
    bool wide;            // written past its text: its cells are a row of WIDE
  };
  std::vector<std::string> BLOCKS;                 // the lines' text, a line within one block
  std::deque<Rec> recs;                            // the lines in order
  std::deque<std::array<char, LINECELLS>> WIDE;    // cells of widened lines
  char fill = EOLCH_DEFAULT;                       // the end marker
  // The row at hand: its cells 1..len, blanks up to blank, then the
  // marker. A copy of the store starts without one.
  struct AtHand {
    int row = -1;
    const char* cells = nullptr;
    int len = 0, blank = 0;
    AtHand() = default;
    AtHand(const AtHand&) {}
    AtHand& operator=(const AtHand&) {
      row = -1;
      return *this;
    }
  };
  mutable AtHand hand;
  void SEE(int row) const;  // makes row the one at hand
};

// Inline: the ground's transmission reads the store through it.
inline void LineStore::SEE(int row) const {
  const Rec& r = recs[row];
  hand.row = row;
  if (r.wide) {
    hand.cells = WIDE[r.at].data();
    hand.len = hand.blank = LINECELLS;
  } else {
    hand.cells = BLOCKS[r.at / BLOCK].data() + r.at % BLOCK;
    hand.len = r.len;
    hand.blank = r.len + r.blanks;
  }
}

char SourceLine::at(int k) const { return store->at(row, k); }
void SourceLine::put(int k, char ch) { store->put(row, k, ch); }
std::string_view SourceLine::text() const { return store->text(row); }
int SourceLine::len() const { return store->len(row); }

// What a token is. Punctuation is never consumed by the scanner; a string
// constant's text stays in the line, between the token's columns.
enum class TokKind : std::uint8_t {
  Symbol,  // one character, in CH, not stepped over
  Word,    // a name or key word, upper case
  Number,  // begins with a digit: a number, or a range's bound ("1..")
  String,  // 'quoted' text
};

// One token as a value: what it is, where it lies, what follows it. The
// columns let the transmission copy the source around it.
struct Token {
  TokKind kind = TokKind::Symbol;
  std::string text;     // the word (upper case) or number; empty otherwise
  char ch = ' ';        // the character after it; a symbol's own character
  int line = -1;        // stored line (PL) it lies on
  int start = 0;        // column of its first character
  int end = 0;          // column after it
  bool isnum = false;   // the number scan succeeded
  bool isint = false;   // the number has no fraction or exponent
  bool probing = false; // read while only probing a node header
};

// The classification rules, tried in order; the first that matches tells
// what the token is. Each keeps its number, which the trace shows.
enum class ClassRule : std::uint8_t {
  None = 0,             // nothing classified yet
  Character = 1,        // punctuation
  Variable = 2,         // a declared name
  Separator = 3,        // a reserved word of expressions (AND, DO, END, ...)
  Node = 4,             // a node's name
  ValuedFunction = 5,   // a function with a value set
  Table = 6,            // a frequency table
  String = 7,           // a string constant
  Tsim = 8,             // TSIM, declared at its first use
  ControlWord = 9,      // IF, WHILE, BEGIN, ...
  End = 10,             // END
  Number = 11,          // a number
  Boolean = 12,         // TRUE, FALSE
  Until = 13,           // UNTIL
  ItNt = 14,            // IT, NT
  Instruction = 15,     // a simulation instruction
  Function = 16,        // a predefined function
  InputOutput = 17,     // READ, WRITE, ...
  Exper = 18,           // EXPER
  EndExp = 19,          // ENDEXP
  ArrayConstants = 20,  // "#" at a statement's start
  PascalProcedure = 21, // a standard Pascal procedure
  Rand = 23,            // RAND
  InputList = 24,       // "@" at a statement's start
  OutputList = 25,      // "%" at a statement's start
  Report = 26,          // REPORT
  EndReport = 27,       // ENDREPORT
  InitFunction = 28,    // a valued function met in INIT's own text
  Unknown = 29,         // no rule: the last, an error
};
constexpr int RULENO(ClassRule r) { return static_cast<int>(r); }

// Subsystem 2 state: the store, the shared position, the token and the
// transmission flags read by the line advance.
struct Source {
  LineStore lines;                // stored lines, then the "$" sentinel
  char EOLCH = EOLCH_DEFAULT;     // end-of-line marker of stored lines
  int PL = 0;                     // current line (index into lines)
  int K = 0;                      // current column; 0 right after an advance
  int LB = 0;                     // current line number, first line 1
  char CH = ' ';                  // character at K after RECID
  std::string IDENT;              // last word (upper-cased) or number text
  int KSTART = 0;                 // column of the token's first character
  bool IDREAD = false;            // a word, number or string was read
  TokKind KIND = TokKind::Symbol; // what the token just read is
  Token AHEAD;                    // the token PEEK read, taken by the next RECID there
  // A line only tried as a node header: an apostrophe there is the mark
  // of a derivative (X' = ...), never the start of a string.
  bool PROBING = false;
  bool ISNUM = false;             // the number scan succeeded
  bool ISINT = false;             // the number has no fraction or exponent
  std::string TIPO;               // class or type word of the last lookup
  bool NOTFOUND = true;           // no classification rule matched yet
  ClassRule KC = ClassRule::None; // rule of the last CLASIFY
  int LASTK = 0, LASTLB = 0;      // position of the last special character
  int VARCOUNT = 0;               // counter of the variable CLASIFY found
  bool STMTSTART = false;         // a statement's first word is read
  bool PROCHEAD = false;          // a procedure heading is read
  int NESTING = 0;                // open levels of NESTED (expressions, statements, types)
  std::uintptr_t STACKTOP = 0;    // a frame address at the outermost level

  // Copy flags of the line advance, set by the translating passes.
  bool INPROC = false;     // a procedure's text or a node head is copied
  bool LOCALDECL = false;  // a node's local declarations are read
  bool DECLCOPY = false;   // whole declaration lines go to PRU.PAS
  bool DBDECL = false;     // a dbase table declaration is read
  bool MSGVAR = false;     // message fields are declared
  bool MSGAUX = false;     // message declarations also go to channel 5
  bool AUXOFF = false;     // suppresses that copy
  bool HEADER = false;     // a heading that also goes to the interface
  bool HASHTOPRU = false;  // '#' lines pass even when CURCH is 1
  int PRULINES = 1;        // whole lines copied into PRU.PAS
  std::string LINEREST;    // the finished line's rest, reused from line to line

  SourceLine line() const { return lines[PL]; }
  char at(int k) const { return lines.at(PL, k); }
};
