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
#include "codegen/codegen_state.h"

struct Compiler;

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
