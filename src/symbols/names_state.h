// The state of symbols/ (the name tree and the type list): data types only,
// held by the Compiler object; the routines are declared in names.h.
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

constexpr size_t NAMEMAX = 23;  // names and type names are cut to this
constexpr int NPREDEFTYPES = 21;  // types every model starts with

// The predefined types by number, their place in the type list. The first
// five are the structured forms the type reader knows by their word.
enum TypeNo : int {
  T_ARRAY = 1, T_STRING, T_RECORD, T_SET, T_FILE, T_REAL, T_INTEGER, T_BOOLEAN,
  T_CHAR, T_GPOINTER, T_BYTE, T_CONT, T_TEXT, T_WORD, T_LONGINT, T_POINTER,
  T_FREQ, T_DOUBLE, T_STR80, T_RET, T_BEGIN
};
static_assert(T_BEGIN == NPREDEFTYPES, "one TypeNo per predefined type");

// One numeric subscript of an array: its bounds.
struct Bound {
  int MIN = 0;
  int MAX = 0;
};

// The bounds of a name's array. Few names have any, so a name without
// them takes one pointer instead of an empty list.
class Bounds {
 public:
  Bounds() = default;
  Bounds(const Bounds& o) { *this = o; }
  Bounds& operator=(const Bounds& o) {
    v = o.v ? std::make_unique<std::vector<Bound>>(*o.v) : nullptr;
    return *this;
  }
  Bounds(Bounds&&) = default;
  Bounds& operator=(Bounds&&) = default;
  Bounds& operator=(std::vector<Bound> b) {
    v = b.empty() ? nullptr : std::make_unique<std::vector<Bound>>(std::move(b));
    return *this;
  }
  bool empty() const { return !v; }
  size_t size() const { return v ? v->size() : 0; }
  const Bound& operator[](size_t i) const { return (*v)[i]; }
  const Bound& front() const { return v->front(); }
  const Bound& back() const { return v->back(); }

 private:
  std::unique_ptr<std::vector<Bound>> v;
};

// One declared name. Entries are never freed; links point into
// Names::ENTRIES, whose addresses are stable. Large models hold a great
// many: the fields are laid out without holes, and the declaring unit is a
// number into Names::UNITS rather than a copy of its name.
struct NameNode {
  std::string NOM;     // the name, upper case
  std::string TIPO;    // type name, filled by the declarations
  std::string TYPTYP;  // kind of the type: "RECORD", "POINTER", "ARRAY", ...
  std::string TYPEL;   // element type name
  Bounds BOUNDS;        // bounds of an array
  NameNode* LEFT = nullptr;     // smaller names
  NameNode* RIGHT = nullptr;    // greater names
  NameNode* SYN = nullptr;      // tree entry: first synonym; synonym: next
  NameNode* LASTSYN = nullptr;  // tree entry: last synonym of its chain
  NameNode* FIELDS = nullptr;   // record-typed name: root of its field tree
  int COUNT1 = 0;      // size of the last dimension (resources: elements)
  int NSUB = 0;        // number of subscripts of an array-typed name
  int CODE = 0;        // class code given in direct mode (TYPECODE kind)
  int COUNT = 0;       // parameter count; CLASIFY copies it to VARCOUNT
  std::uint32_t UNITNO = 0;  // program unit that declared it (Names::UNITS)
  bool FLAG1 = false;  // measured by STATISTICS (a U_ resource: statistics)
  bool FLAG2 = false;  // flags owned by the declaration passes
  bool FLAG4 = false;  // a procedure variable
  bool MSG = false;    // a field of a message record
  bool DB = false;     // a dbase variable, may be written table.field
};

// One type; its position in Names::TYPES plus one is its number.
struct TypeRecord {
  std::string NOM;   // the type's name
  std::string TIPO;  // type it is built from; its own name when predefined
  std::vector<Bound> BOUNDS;  // array bounds recorded for the type
  int NSUB = 0;               // subscripts at creation
  std::string TYPEL;          // element type at creation
  // Set by the type translator after creation.
  std::string TARGET;          // pointed type of a pointer type
  int NPARAM = 0;              // parameter count of a procedure type
  NameNode* FIELDS = nullptr;  // field tree of a record type
};

// The entries of one tree hashed by name, in open addressing: a slot is
// one pointer and the key is the entry's own NOM, so a name costs the
// index a few bytes besides its place in the order. Beside each slot a
// few bits of its name's hash (0: empty) let a probe pass over another
// name without reading its entry, which in a large model is a cache miss.
struct NameTable {
  std::vector<NameNode*> slots;    // a power of two, at most half full
  std::vector<std::uint8_t> tags;  // as many
  size_t count = 0;
  NameNode* find(std::string_view key) const;
  // Adds e unless an entry holds its name already; returns that entry.
  NameNode* insert(NameNode* e);
};

// Entries in name order, kept as sorted runs of at most RUN entries: the
// place of a new name and its neighbours in O(log n + RUN) steps, at a few
// bytes a name (a node-based ordered set takes fifty).
class NameOrder {
 public:
  static constexpr size_t RUN = 256;
  struct Neighbours {
    NameNode* before = nullptr;  // the greatest smaller name, or null
    NameNode* after = nullptr;   // the least greater name, or null
  };
  // Adds e, whose name none holds yet; its neighbours.
  Neighbours insert(NameNode* e);
  // The first entry whose name is not less than key, or null.
  NameNode* atleast(std::string_view key) const;
  size_t size() const { return count; }

 private:
  std::vector<std::vector<NameNode*>> runs;  // each sorted, one after another
  size_t count = 0;
};

// The entries of one tree by name, in order (to hang a new name where a
// walk from the root would) and hashed (to find one at once).
struct NameIndex {
  NameOrder order;
  NameTable byname;
  bool dotted = false;  // some name holds a '.': a dbase table.field
};

// A tree entry and a unit: the key of the entry's first synonym there.
struct SynKey {
  const NameNode* entry;
  std::string_view unit;
  bool operator==(const SynKey& o) const { return entry == o.entry && unit == o.unit; }
};
struct SynKeyHash {
  size_t operator()(const SynKey& k) const {
    return std::hash<const void*>()(k.entry) * 31 + std::hash<std::string_view>()(k.unit);
  }
};

// Entries made one at a time and never moved: blocks of many, where a
// deque of entries this large would allocate one block for every two.
template <class T, size_t N = 256>
class BlockStore {
 public:
  T& emplace_back() {
    if (used == N) {
      blocks.push_back(std::make_unique<T[]>(N));
      used = 0;
    }
    ++count;
    return blocks.back()[used++];
  }
  size_t size() const { return count; }
  // Every entry, in the order they were made.
  template <class F>
  void each(F visit) const {
    for (size_t b = 0; b < blocks.size(); ++b)
      for (size_t i = 0, n = b + 1 < blocks.size() ? N : used; i < n; ++i) visit(blocks[b][i]);
  }

 private:
  std::vector<std::unique_ptr<T[]>> blocks;
  size_t used = N;  // entries taken in the last block
  size_t count = 0;
};

// One message name of the find-or-add list.
struct MessageName {
  std::string NOM;     // the message name
  std::string NUMTXT;  // second name, left to the caller
};

// Subsystem 3 state: declared names and types.
struct Names {
  // Entries point at each other: moving keeps them valid, copying would not.
  Names() = default;
  Names(const Names&) = delete;
  Names& operator=(const Names&) = delete;
  Names(Names&&) = default;
  Names& operator=(Names&&) = default;

  std::string SCOPE = "MAIN";   // program unit being translated
  // Names of the units that declared entries, numbered by NameNode::UNITNO
  // (0 is MAIN), and their numbers by name.
  std::deque<std::string> UNITS{"MAIN"};
  std::unordered_map<std::string_view, std::uint32_t> UNITNOS{{UNITS.front(), 0}};
  // The name of the unit that declared e.
  const std::string& UNITOF(const NameNode* e) const { return UNITS[e->UNITNO]; }
  std::string NOMFUNPG = " ";   // function whose arguments are read (trace)

  // The name tree.
  BlockStore<NameNode> ENTRIES;  // every entry ever made, owner of them all
  NameNode* ROOT = nullptr;      // root of the tree searched now
  std::unordered_map<const NameNode*, NameIndex> INDEX;  // by tree root
  // First synonym of a tree entry in each unit that declared it again.
  std::unordered_map<SynKey, NameNode*, SynKeyHash> SYNUNIT;
  NameNode* CURENT = nullptr;    // entry reached by the last lookup
  NameNode* NEWENTRY = nullptr;  // entry made by the last STVNAME
  bool FOUND = false;            // result of the last BUSIDAR1
  bool ISNEW = true;  // last STVNAME made a name (not a repeated msg field)
  std::string RECNAME;           // record or pointer name saved by BUSIDAR

  // Direct mode: STVNAME types the entry at once and skips the group.
  bool DIRECTADD = false;
  int DIRECTCODE = 0;  // class code given in direct mode (also SIZEKIND)
  NameNode* LASTDIRECT = nullptr;  // entry made in direct mode

  // The current declaration group: the names of "a, b, c : T".
  std::vector<NameNode*> GROUP;

  // Message names, in order of first mention (BUSLIST).
  std::deque<MessageName> MSGNAMES;
  std::unordered_map<std::string_view, MessageName*> MSGINDEX;  // by NOM
  MessageName* CURMSG = nullptr;  // cell found or added by the last BUSLIST
  bool MSGFOUND = false;          // BUSLIST found the name

  // The type list and the type translator's current values.
  std::deque<TypeRecord> TYPES;
  std::unordered_map<std::string, int> TYPEINDEX;  // first type number by NOM
  TypeRecord* LASTTYPE = nullptr;  // record made last
  TypeRecord* TYPEREC = nullptr;   // found by TYPELOOK, or null
  int TYPENO = 0;                  // its number; count + 1 when not found
  int NSUB = 0;                    // subscripts of the array being read
  std::vector<Bound> BOUNDS;       // bounds of the array being read
  std::string TYPEL;               // element type being read
  int TYPECODE[32] = {};           // class code by type number, [0] unused
};
