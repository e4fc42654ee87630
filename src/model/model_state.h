// The state of model/ (the node table and the sections): data types only, held
// by the Compiler object; the routines are declared in model.h.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A successor (as written in a header) or a predecessor of a node.
struct NodeLink {
  std::string NOM;        // the linked node's name, at most 23 characters
  int NODE = 0;           // its number in NodeTable, set by the organisation
  std::string SUB = "1";  // subscript text, at most 23 characters
  int ELSUC = 0;          // entry list fed through this link (organisation)
};

// A label of a node's code, from LABEL in its header.
struct NodeLabel {
  std::string NOM;  // at most 23 characters
};

// One node of the network, in source order; its index is its number in
// all generated code. Lists are vectors in list order: empty means nil.
struct NodeRecord {
  std::string NOM;               // node name, at most 23 characters
  char TIPO = 'O';               // type letter: A C D E G I L R or O
  std::vector<NodeLink> SUCC;    // successors, source order
  std::vector<NodeLink> PRED;    // predecessors, built by the organisation
  std::vector<NodeLabel> LABELS; // labels of the node's code
  int SUBEL = 0;       // copied from an L node that feeds a G or R node
  int MULT = 1;        // n of [1..n]
  bool HASATTR = false;   // has an attribute record with fields
  int ASSIGN = 1;      // 2 once node code assigns to the node
  int EL = 0;          // first entry-list number; -1 declared, 0 none
  int IL = 0;          // first internal-list number; -1 declared, 0 none
  int CODELINE = 0;    // line number where the code starts
  int CODEPL = 0;      // that line (index into Source::lines)
  int L = 0;           // header line; after organisation, line after the code
  int C = 0;           // column where the code starts
  bool DECLARED = false;  // a NODES declaration named the node
  int NEL = 0;         // number of entry lists
  bool STAT = false;      // statistics requested for the node
  std::string STATNAME = " ";  // statistics text of the node
  bool FROMC = false;     // successor of a C node
  int MODULE = 0;      // module number of a module's first node, else 0
};

// Subsystem 4 state.
struct Model {
  std::vector<NodeRecord> NodeTable;  // [0] unused: nodes are numbered from 1
  int NodeCount = 0;                  // headers accepted
  int LASTI = 0;                      // the last I node, 0 when none
  std::unordered_map<std::string, int> NODENUM;  // node number by name
  // [1] line after NETWORK, [2] INIT line, [3] DECL line (else the END.
  // line); [0] unused.
  std::array<int, 4> SectionLine{};
  bool DECLFOUND = false;    // a DECL line exists
  int ModuleCount = 0;       // 1 + MODULE lines passed
  bool AFTERMODULE = false;  // a MODULE line awaits its first node
  int NLIST = 1;             // next free message-list number
  std::vector<std::string> LISTTEXT;  // display name of each list, in order
  int NSTAT = 0;             // statistics slots of the nodes (entries of _ou)
  int NODEIDX = 0;       // node found by the last BUSNODE
  bool LOOPEND = false;  // BUSNODE missed while message fields are read
};
