// Model structure: sections, node headers, node table and the network.
#pragma once
#include <string>
#include <vector>

struct Compiler;

// One node of the network, in source order; its index is its number.
struct NodeRecord {
  std::string NOM;  // node name, at most 23 characters
};

// Subsystem 4 state.
struct Model {
  std::vector<NodeRecord> NodeTable;  // [0] unused: nodes are numbered from 1
  int NodeCount = 0;
};
