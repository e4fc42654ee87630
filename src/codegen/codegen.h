// Code generation: node procedures, transfer procedures, statistics, INIT
// and experiments, and the assembly of the output files.
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

  // ---- transfer procedures (codegen/transfer.cpp)
  // Elements of _uprv, _upvro and _uprvo, kept until the organisation
  // writes them; _upvr's go to MODPRO at once, its head being open there.
  std::vector<std::string> UPRV, UPVRO, UPRVO;
  std::vector<int> RECNUMS;  // every record registered, in registration order
  std::unordered_set<int> RECSET;  // the same, to ask whether one is there
  std::string ETEXT = " ";   // closes a new element: "end;" or a blank

  // ---- variable statistics (the resources' U_ variables count here too)
  int NVSTAT = 0;  // measured variables
  int NVELEM = 0;  // their elements

  // ---- statistics tables (codegen/statistics.cpp), final once the
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

// A measured variable's NameNode carries its statistics flag in FLAG1 and
// its element count in COUNT1 (the size of its last dimension).

// ---- statistics (statistics.cpp)
// A STATISTICS class was given (a node or a variable of its own measured).
bool HASSTATISTICS(const Compiler& c);
// The empty stat of a model without a STATISTICS class (MODPRO).
void DeclareStatProcedure(Compiler& c);
// _ou, _ov and their arrays in PRU.PAS, _aesva in MODPRO; gives out the
// nodes' STATNAME and the variables' indexes. Called by the organisation.
void DeclareNodeAndVariableStatistics(Compiler& c);
// The bodies of _prsta and _prstp and a blank line, on MODPRO (INIT pass).
void WriteStatisticsProcedures(Compiler& c);
// The _prsta / _prstp call around a change of R node n's U_ variable, on
// CURCH; inst is the instance text of a multiple node.
void ResourceStatisticsBefore(Compiler& c, int node, std::string_view inst = "ino");
void ResourceStatisticsAfter(Compiler& c, int node, std::string_view inst = "ino");
// The statistics calls of the measured continuous variables of equations
// first..last, taken over the integration just done; none when none of
// them is measured.
std::vector<std::string> ContinuousStatistics(const Compiler& c, int first, int last);
// The hand-off of an assignment to a measured variable, around it.
void StatisticsBefore(Compiler& c);
void StatisticsAfter(Compiler& c);

// ---- transfer procedures and resources (transfer.cpp)
// Starts the four transfer elements of record n. whole: nothing will be
// added to them (an I node's default record); otherwise ENDCASE closes them.
void ADDCASE(Compiler& c, int n, bool whole);
void ENDCASE(Compiler& c);  // closes the current record's elements
// Transfer lines of one field of the current record (NUMTXT): kind 0 a
// simple field, kind 1 an array with one subscript from lo to hi. Called
// with the field's name and again with "O_" + the name.
void AddFieldTransfer(Compiler& c, int kind, std::string_view name,
                      std::string_view lo = "", std::string_view hi = "");
// Both transfers of a message field typed by the type reader (its O_ twin
// is skipped: the field's own call covers it).
void FIELDTRANSFER(Compiler& c, const NameNode* e);
// The record type of record num in pru: its head, and after the fields its
// end with the two pointer variables; each a line of its own.
void RECTYPE(Compiler& c, std::string_view num);
void RECVARS(Compiler& c, std::string_view num);
// The default message record of I node n (one not named by NODES): the
// record type, its pointers and its complete transfer elements. Called by
// the organisation for each such node, before WriteTransferProcedures.
void DefaultRecord(Compiler& c, int n);
// Closes _upvr and writes _uprv, _upvro, _uprvo, _elim and _newr to MODPRO.
void WriteTransferProcedures(Compiler& c);
// The m_, f_, u_ variables of R node n and their start values in _com.
void DeclareResource(Compiler& c, int n);
// Writes text on channel ch as a line of its own: the line being packed
// there is ended first, and nothing will join the text.
void OWNLINE(Compiler& c, ChannelNo ch, std::string_view text);

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
// Gives back what a message holds of R node n's resource (amount: the
// current message's "use", or "O_USE" for one put out of service), through
// the statistics of U_; inst is the copy of a multiple node ("ino" in its
// own procedure).
void ReleaseResource(Compiler& c, int node, std::string_view inst = "ino",
                     std::string_view amount = "use");
// Brings the C nodes that feed node up to the present time.
void ActivateContinuousPredecessors(Compiler& c, int node);
// "var _NUME..:integer;" for the I nodes and the CREATE counters (PRU.PAS).
void DeclareMessageCounters(Compiler& c);
// The statistics reset procedure clrstat (MODPRO).
void GenerateClrstat(Compiler& c);
// The resource of R node n as its code names it: NOM, or NOM "[" inst "]"
// for a multiple node.
std::string RESOURCETEXT(const Compiler& c, int node, std::string_view inst);
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
// RANDV_, _d_, _din_, _r_, _i_ of one set in PRU.PAS, their start in _init
// (MODIN1) and RANDV_ in the name tree.
void DeclareRandomSet(Compiler& c, const RandSet& r);
