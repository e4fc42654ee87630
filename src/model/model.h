// Model structure: the sections of the source, the node headers and the
// node table, and the numbering of the network's message lists.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include "model/model_state.h"

struct Compiler;

// ---- section finder (sections.cpp)
void BUNET(Compiler& c);   // create PRU.PAS, find NETWORK
void BUSECT(Compiler& c);  // node headers, INIT line, DECL line
void BUNOD(Compiler& c);   // one candidate header, IDENT its first word
// Appends an accepted node to the table and its name to the index; returns
// the node's number.
int ADDNODE(Model& m, NodeRecord n);

// ---- the pass over the DECL section (declarations.cpp): it drives the
// class handlers of decl/, the procedures' statements and, when PROCEDURES
// begins or at "END.", the organisation.
void BUDECL(Compiler& c);    // the declaration pass; PL on the DECL line
void USES(Compiler& c);      // unit list after USES
void USESEMIT(Compiler& c, ChannelNo ch);  // ",", the units, " " to channel ch

// ---- network organisation (network.cpp, network_emit.cpp)
// Once, when the declarations reach PROCEDURES or END.: successors,
// predecessors, list numbers, type rules, then the network tables.
void ORGRED(Compiler& c);
// Appends count display names '<kind>_<node> <i> ' of node's lists, i
// from first on.
void LISTNAMES(Compiler& c, int node, std::string_view kind, int count, int first = 1);
// Every predecessor link of node gets the node's EL, on both ends.
void SETELSUC(Compiler& c, int node);
// The first successor entry of pred that leads to node gets ELSUC := list.
void BULESU(Compiler& c, int pred, int node, int list);
void NODELIST(Compiler& c);      // trace listing of the node table
void WRITENETWORK(Compiler& c);  // the tables of the organised network
