// The state of stmt/ (the block, node and statement being translated): data
// types only, held by the Compiler object; the routines are declared in
// stmt.h.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct Compiler;
struct NameNode;

// One variable, node or table whose value an experiment may change.
struct ExpItem {
  std::string NOM;     // at most 30 characters
  char KIND = 'V';     // V variable, N node, T frequency table, ...
  std::string TABPOS;  // kind T: the table's position as text
};

constexpr size_t EXPNAMEMAX = 30;  // names in the experiment list
constexpr size_t NOMASIGMAX = 80;

// A piece of _init that a FILE statement writes.
struct FileHeading {
  std::string TEXT;
  bool NEWLINE = true;  // forced onto a line of its own
};

// Subsystem 7 state.
struct Stmt {
  // The block being translated; its owner sets these before calling PRINS.
  int LBF = 0;              // last line of the block (the line after it)
  bool INITMODE = false;    // the INIT section is translated
  bool HASLABELS = false;   // the block declares labels
  int CURNODE = 0;          // node whose code is translated, 0 elsewhere
  std::string CURNODENUM;   // that node's number as text
  bool CONTNODE = false;    // a C node's code: equations allowed

  // The node whose procedure is written; set by the node pass before its
  // code, read and cleared by the instructions.
  std::string ELTEXT;        // its first list as index text: EL, or EL-1 "+ino"
  std::string ILTEXT;        // its second list, written the same way
  std::string MULTTEXT;      // its copies
  std::string MULTTEXT1;     // its copies less one (SELECT)
  bool SENDPENDING = false;  // nothing sent yet; SENDTO and AGRE clear it
  bool ACCPENDING = false;   // L node: no FIFO or LIFO yet; they clear it
  bool ADVANCE = true;       // false inside the statement of a PREEMPTION
  bool SELECTSEEN = false;   // D node with several predecessors: SELECT met
  bool STATEPART = false;    // the STATE statement of a G node
  bool RELEASEPART = false;  // the RELEASE statement of an R node
  bool REQUESTPART = false;  // the request loop of an R node
  bool SCANLOOP = false;     // the scan loop of a G node
  // Read by the INIT pass.
  bool ACTSEEN = false;      // the INIT section holds an ACT; ACT sets it
  int CREATECOUNT = 0;       // message counters given out by CREATE
  int NUMEOFFSET = 0;        // last I node: CREATE counters follow its _NUME

  // The message an instruction acts on (flow*.cpp): the node's own _px,
  // or the one a CREATE, EXTR, SCAN, SELECT ... hands to its statement.
  // 7.4's UPDATE and STOPSCAN read MSGVAR and INSCAN.
  std::string MSGVAR = "_px";  // its variable
  int HELD = -1;               // it came from the node's own list: 1, 0; -1: as the node's type says
  std::string ORIGIN;          // the list it came from; "" the node's ELTEXT
  bool OVARS = false;          // its fields are in the O_ variables
  bool INCREATE = false;       // the statement of a CREATE
  bool INEXTR = false;         // ... of an EXTR
  bool INSCAN = false;         // ... of a SCAN
  bool INSENDTO = false;       // a SENDTO is read
  bool INFREE = false;         // a FREE is read
  int CREATENODE = -1;         // node of the last CREATE (counters per node)
  int SELNODE = -1, SELCOUNT = 0;  // node of the last SELECT, its SELECTs so far
  int USENODE = 0;             // node whose code assigned USE
  int REMANODE = 0;            // R node where a PREEMPTION named REMA
  std::string TRANSBLOCK;      // the block whose TRANS made _pu the message in hand

  // Balance of BEGIN/END, CASE/END, REPEAT/UNTIL; all 0 at a block's end.
  int BEGINDEPTH = 0;
  int CASEDEPTH = 0;
  int REPEATDEPTH = 0;

  // The statement being read.
  std::string NOMASIG;           // variable at its start (EXPER: with "[i]")
  bool NOMGIVEN = false;         // NOMASIG already holds the EXPER subscript
  NameNode* ASGENTRY = nullptr;  // that variable's entry, null if none
  bool CALLREAD = false;         // the classifier read it as a call already
  bool HASSTATS = false;         // it carries statistics (true when no entry)
  bool STATSRAN = false;         // StatisticsBefore ran for it
  bool INRHS = false;            // an assignment's right side is read
  bool NODEASG = false;          // the assignment sets a node's capacity

  // Experiments: EXPER ... ENDEXP in INIT.
  bool INEXPER = false;
  bool HASEXPER = false;
  std::vector<ExpItem> EXPLIST;  // in insertion order; its size is the count

  // Read by the INIT pass (TSIM assignments set Program::TSIMSET).
  bool WINWIDTH = false;   // a statement assigns WINDOWWIDTH
  bool WINHEIGHT = false;  // ... WINDOWHEIGHT

  std::vector<int> NODEUNIT;  // module whose unit holds each node (node call)

  // Other instructions (other_*.cpp).
  bool INREPORT = false;     // between REPORT and ENDREPORT: lists write the report
  int FREQMAX = -32767;      // most classes of a frequency table (+2), for _itmx
  std::vector<std::string> FILENAMES;  // FILE names as written; the k-th is _filv k
  std::vector<FileHeading> FILEHEADS;  // _init pieces of FILEs met before _init began
  int NARRAYASG = 0;         // array assignments, each with its constant _c<k>_
};
