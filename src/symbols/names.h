// Name tree, type list and predefined names.
// Every declared name is one NameNode in an unbalanced binary search tree
// keyed by its upper-case text; a name declared again inside another
// program unit hangs on the first entry's synonym chain. An ordered index
// beside each tree finds names and the place of a new one in O(log n)
// whatever the order of declaration, so the tree keeps the shape plain
// insertion gives it without being walked. Types live apart, in a list
// whose 1-based position is the type number.
#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>
#include "symbols/names_state.h"

struct Compiler;

// ---- name tree (name_tree.cpp)
void STVNAME(Compiler& c, bool first, std::string_view name);
// IDENT with the unit rules: the entry found, or null (also left in
// CURENT, FOUND and TIPO).
NameNode* BUSIDAR1(Compiler& c);
// BUSIDAR1, then record fields and pointers: the entry found (the field's
// when a field was read), or null.
NameNode* BUSIDAR(Compiler& c);
int BUSNODE(Compiler& c);    // IDENT in the node table: its number, 0 if absent
void BUSLIST(Compiler& c);   // IDENT in the message names, added if absent
// The entry named key (cut as names are) in the tree below root, or null.
NameNode* FINDNAME(Compiler& c, NameNode* root, std::string_view key);
// The message name cell named name, or null.
MessageName* FINDMSG(Compiler& c, std::string_view name);
void PRINTTREE(Compiler& c, const NameNode* root);  // trace dump in order

// Visits a tree in key order without recursion (trees may be very deep).
template <class N, class F>
void WALKTREE(N* root, F visit) {
  std::vector<N*> stack;
  N* x = root;
  while (x || !stack.empty()) {
    for (; x; x = x->LEFT) stack.push_back(x);
    x = stack.back();
    stack.pop_back();
    visit(x);
    x = x->RIGHT;
  }
}

// The search of a tree for key, entry by entry from root: visit(x) sees
// each entry met, the one holding key last, and stops the search by
// returning false. Returns the entry holding key, or null (not there, or
// stopped). Lookups go through the index; this walk is for what depends on
// the way there (the trace, dbase fields met on the way).
template <class N, class F>
N* SEARCHTREE(N* root, std::string_view key, F visit) {
  for (N* x = root; x;) {
    if (!visit(x)) return nullptr;
    int order = key.compare(x->NOM);
    if (order == 0) return x;
    x = order < 0 ? x->LEFT : x->RIGHT;
  }
  return nullptr;
}

// ---- type list (types.cpp)
void BUILDTYPES(Compiler& c);  // the 21 predefined types and TYPECODE
TypeRecord* TYPELOOK(Compiler& c);  // IDENT in the type list: its record, or null
// The first type named name (cut as names are), or null.
const TypeRecord* FINDTYPE(const Compiler& c, std::string_view name);
TypeRecord* FINDTYPE(Compiler& c, std::string_view name);
void TYPEADD(Compiler& c, std::string_view name, std::string_view base);
int TYPECODEOF(const Compiler& c, int typeno);  // TYPECODE, any number
void IOWORD(Compiler& c);      // clears NOTFOUND for the I/O words
void PREDEF(Compiler& c);      // enters the predefined names
