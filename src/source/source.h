// Source text and scanning: the line store with its shared position, the
// line advance that transmits finished lines, and the scanner.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct Compiler;

constexpr char EOLCH_DEFAULT = '&';
constexpr int LINETEXT = 80;   // characters kept of a source line
constexpr int LINECELLS = 96;  // cells 1..96: room for the scanner's look-ahead

// One stored line. Cells past the text hold the end marker, so the scanner
// finds '&' right after the last character; reads past the cells give the
// marker too, and writes there are dropped.
struct SourceLine {
  int len = 0;
  char cell[LINECELLS + 1];

  char at(int k) const {
    if (k < 1) return '\0';
    return k <= LINECELLS ? cell[k] : fill;
  }
  void put(int k, char ch) {
    if (k >= 1 && k <= LINECELLS) cell[k] = ch;
  }
  std::string_view text() const { return std::string_view(cell + 1, len); }
  char fill = EOLCH_DEFAULT;
};

// Subsystem 2 state: the store, the shared position, the token and the
// transmission flags read by the line advance.
struct Source {
  std::vector<SourceLine> lines;  // stored lines, then the "$" sentinel
  char EOLCH = EOLCH_DEFAULT;     // end-of-line marker of stored lines
  int PL = 0;                     // current line (index into lines)
  int K = 0;                      // current column; 0 right after an advance
  int LB = 0;                     // current line number, first line 1
  char CH = ' ';                  // character at K after RECID
  std::string IDENT;              // last word (upper-cased) or number text
  int KSTART = 0;                 // column of the token's first character
  bool IDREAD = false;            // a word, number or string was read
  // A line only tried as a node header: an apostrophe there is the mark
  // of a derivative (X' = ...), never the start of a string.
  bool PROBING = false;
  bool ISNUM = false;             // the number scan succeeded
  bool ISINT = false;             // the number has no fraction or exponent
  std::string TIPO;               // class or type word of the last lookup
  bool NOTFOUND = true;           // no classification rule matched yet
  int KC = 0;                     // class number of the last CLASIFY
  int LASTK = 0, LASTLB = 0;      // position of the last special character
  int VARCOUNT = 0;               // counter of the variable CLASIFY found
  bool STMTSTART = false;         // a statement's first word is read
  bool PROCHEAD = false;          // a procedure heading is read

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

  SourceLine& line() { return lines[PL]; }
  const SourceLine& line() const { return lines[PL]; }
  char at(int k) const { return lines[PL].at(k); }
};

// ---- line store (line_store.cpp)
void CREALIN(Compiler& c);
// The build from text already read (tests, and CREALIN itself).
void CREALINFROM(Compiler& c, std::string_view content);
void VERFLIN(Compiler& c);
std::string_view LINETEXTOF(const Compiler& c);  // PL^.CON, "" before the store

// ---- scanner (scanner.cpp)
void RECID(Compiler& c);
bool SKIPBL(Compiler& c);   // true when a blank was found
bool SKIPCOM(Compiler& c);  // true when a comment was found
void RECNUM(Compiler& c);
void RECDIG(Compiler& c);
void RECEXP(Compiler& c);
void RECSTR(Compiler& c);
bool ISDELIM(char ch);

// ---- identifier classification (classify.cpp)
void CLASIFY(Compiler& c);
