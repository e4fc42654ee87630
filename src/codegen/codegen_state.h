// The state of codegen/ (what the generators collect while the model is read):
// data types only, held by the Compiler object; the routines are declared in
// codegen.h.
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

// What the passes found that decides the shape of the assembled program.
// Each flag is set by the pass that translates the construct.
struct Program {
  bool HASCONT = false;    // continuous variables exist (_fec has a body)
  bool HASPROCS = false;   // the PROCEDURES class gave user routines
  int NSYNC = 0;           // SYNCHRONIZE and ASSEMBLE instructions (_cl)
  int NGRAPH = 0;          // GRAPH instructions
  bool TSIMSET = false;    // TSIM is assigned
  bool ENDSIMUL = false;   // ENDSIMUL is used
  bool FACTORS = false;    // FACTORS are declared
  std::vector<std::string> RESPONSES;  // names of the RESPONSES list
};
