// Code generation: node procedures, INIT and experiments, and the assembly
// of the output files; the state of the generated records, transfer
// procedures and statistics that the declarations write.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct Compiler;
struct NameNode;

// A variable declared over a discrete distribution set: RANDV_ and its
// tables are declared by the INIT pass.
struct RandSet {
  std::string NOM;                  // the variable
  int N = 0;                        // its elements
  std::vector<std::string> VALUES;  // the set's values, as written
  bool NAMED = false;               // RANDV_ is in the name tree already
};

// A work variable an instruction needs, declared by the INIT pass.
struct AuxVar {
  std::string NOM;
  std::string TIPO;  // its type name
};

// Subsystem 9 state.
struct Gen {
  // ---- message and node-attribute records (decl/messages.cpp)
  std::string NUMTXT;     // number of the record being declared, as text
  bool ISMSG = false;     // it is a message type, not a node's attributes
  int NODE = 0;           // the node whose attributes are declared
  bool FIRSTLIST = true;  // no field list of this declaration read yet
  bool NEWFIELD = false;  // the last field list declared a new global
  bool NEWFIELDS = false; // some field list of this declaration did
  bool RECOPEN = false;   // this declaration started a record (ADDCASE)
  std::vector<std::string> KNOWNFIELDS;  // fields met again in a later record

  // ---- transfer procedures (decl/transfer.cpp)
  // Elements of _uprv, _upvro and _uprvo, kept until the organisation
  // writes them; _upvr's go to MODPRO at once, its head being open there.
  std::vector<std::string> UPRV, UPVRO, UPRVO;
  std::vector<int> RECNUMS;  // every record registered, in registration order
  std::unordered_set<int> RECSET;  // the same, to ask whether one is there
  std::string ETEXT = " ";   // closes a new element: "end;" or a blank

  // ---- variable statistics (the resources' U_ variables count here too)
  int NVSTAT = 0;  // measured variables
  int NVELEM = 0;  // their elements

  // ---- statistics tables (decl/statistics.cpp), final once the
  // organisation has written them; read by the node pass and clrstat.
  int NULLE = 1;  // next free _nulle index: NULLE - 1 given to I nodes
  int TMPS = 1;   // next free _tmps index: TMPS - 1 given to E nodes
  std::unordered_map<std::string, int> STATIX;  // measured name: first index
  std::unordered_map<std::string, int> STATLO;  // ... and its first subscript
  // The assignment to a measured variable being translated.
  std::string STTARGET;   // the variable, with "[" subscript "]"
  std::string STIX;       // its index text
  bool STACTIVE = false;  // StatisticsBefore wrote its part

  // ---- INIT-time declarations (codegen/init.cpp), collected while the
  // model is read.
  int ITMX = -32767;             // largest class count + 2 of a frequency table
  std::vector<RandSet> RANDSETS; // variables over a discrete distribution set
  bool RANDSETSDONE = false;     // RANDSETS declared: later sets declare themselves
  std::vector<AuxVar> AUXVARS;   // work variables the instructions asked for
  bool NODEPASS = false;         // the node procedures are being written
};

// ---- node procedures (nodes.cpp, node_skeletons.cpp)
struct NodeLink;
// Every node's procedure into the unit of its module (channel 4), in
// table order: head, skeleton of its type, translated code.
void GenerateNodes(Compiler& c);
// The head of the current node's procedure, its labels and local VAR
// declarations (ended by "::"); with begin also "begin ".
void NodeHeader(Compiler& c, bool withbegin);
// The list index text of a successor link: ELSUC, moved by an integer
// subscript, or ELSUC-1 "+" a subscript name.
std::string SUCCLIST(const NodeLink& s);
// The current message to every successor of the current node (first with
// _agr, the others with _copy); packing first stores the fields (_upvr).
void SendToSuccessors(Compiler& c, bool packing);
// Brings the C nodes that feed node up to the present time.
void ActivateContinuousPredecessors(Compiler& c, int node);
// "var _NUME..:integer;" for the I nodes and the CREATE counters (PRU.PAS).
void DeclareMessageCounters(Compiler& c);
// The statistics reset procedure clrstat (MODPRO).
void GenerateClrstat(Compiler& c);
// The skeleton of each node type around the current node's code
// (node_skeletons.cpp); ONODE takes every other letter.
void ANODE(Compiler& c);
void CNODE(Compiler& c);
void DNODE(Compiler& c);
void ENODE(Compiler& c);
void GNODE(Compiler& c);
void INODE(Compiler& c);
void LNODE(Compiler& c);
void RNODE(Compiler& c);
void ONODE(Compiler& c);

// ---- INIT section and experiments (init.cpp)
// The INIT pass: _prsta/_prstp, _init from the INIT section, clrstat,
// _pexp, the INIT-time declarations, the node procedures and the message
// counters; at its end _init joins MODPRO.
void TranslateInit(Compiler& c);
// _pexp and _listvar from the experiment list (MODPRO).
void GenerateExperimentProcedure(Compiler& c);
