// Model structure: sections, node headers, node table and the network.
#pragma once
#include <string>
#include <vector>

struct Compiler;

// One node of the network, in source order; its index is its number.
struct NodeRecord {
  std::string NOM;  // node name, at most 23 characters
  int IL = 0;       // first internal-list number
  int SUBEL = 0;    // copied from an L node that feeds a G or R node
};

// Subsystem 4 state.
struct Model {
  std::vector<NodeRecord> NodeTable;  // [0] unused: nodes are numbered from 1
  int NodeCount = 0;
  int NODEIDX = 0;       // node found by the last BUSNODE
  bool LOOPEND = false;  // stops the section finder's line loops
};
