// Name tree: tree shape, unit rules and synonyms, duplicates, message
// fields, declaration groups, record fields, pointers, qualified dbase
// names, node and message-name lookups.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <set>

#include "support/support.h"

namespace {

// Declares name in unit (INPROC for every unit but MAIN) with a type.
NameNode* DECLARE(TestRun& r, const std::string& name,
                  const std::string& unit = "MAIN",
                  const std::string& tipo = "") {
  r.c.names.SCOPE = unit;
  r.c.src.INPROC = unit != "MAIN";
  STVNAME(r.c, true, name);
  r.c.names.NEWENTRY->TIPO = tipo;
  r.c.src.INPROC = false;
  return r.c.names.NEWENTRY;
}

// Looks name up from unit; returns FOUND, NOTFOUND must agree.
bool FIND(TestRun& r, const std::string& name, const std::string& unit) {
  r.c.names.SCOPE = unit;
  r.c.src.IDENT = name;
  r.c.src.CH = ' ';
  r.c.src.NOTFOUND = true;
  BUSIDAR1(r.c);
  EXPECT_EQ(r.c.names.FOUND, !r.c.src.NOTFOUND);
  return r.c.names.FOUND;
}

// Puts the scanner on the first word of text, as a translator would be.
void SCAN(TestRun& r, const std::string& text) {
  r.load(text + "\nEND.\n");
  r.c.src.PL = 0;
  r.c.src.K = 0;
  RECID(r.c);
}

// Gives entry a field tree holding the names.
void FIELDS(TestRun& r, NameNode* entry, std::vector<std::string> names) {
  NameNode* root = r.c.names.ROOT;
  r.c.names.ROOT = nullptr;
  for (const std::string& n : names) STVNAME(r.c, true, n);
  entry->FIELDS = r.c.names.ROOT;
  r.c.names.ROOT = root;
}

TEST(NameTree, SmallerNamesGoLeftAndLookupsDescend) {
  TestRun r(true);
  NameNode* m = DECLARE(r, "M");
  NameNode* g = DECLARE(r, "G");
  NameNode* t = DECLARE(r, "T");
  EXPECT_EQ(r.c.names.ROOT, m);
  EXPECT_EQ(m->LEFT, g);
  EXPECT_EQ(m->RIGHT, t);
  r.out.str("");
  DECLARE(r, "U");
  EXPECT_NE(r.out.str().find("EXPLORANDO ELEMENTO M DEL ARBOL\n"
                             "EXPLORANDO ELEMENTO T DEL ARBOL\n"),
            std::string::npos);
  EXPECT_TRUE(FIND(r, "T", "MAIN"));
  EXPECT_EQ(r.c.names.CURENT, t);
  EXPECT_FALSE(FIND(r, "H", "MAIN"));
  EXPECT_EQ(r.c.names.CURENT, nullptr);
}

// The shape plain insertion gives, key by key, as the text "(left)key(right)".
struct PlainTree {
  struct Cell {
    std::string key;
    int left = -1, right = -1;
  };
  std::vector<Cell> cells;
  void insert(const std::string& key) {
    if (cells.empty()) return cells.push_back({key});
    for (int x = 0;;) {
      if (key == cells[x].key) return;
      int& next = key < cells[x].key ? cells[x].left : cells[x].right;
      if (next < 0) {
        next = static_cast<int>(cells.size());
        return cells.push_back({key});
      }
      x = next;
    }
  }
  // Iterative, since a tree fed sorted names is a list.
  std::string text() const {
    std::string t;
    std::vector<std::pair<int, int>> stack{{0, 0}};
    while (!cells.empty() && !stack.empty()) {
      auto& [x, step] = stack.back();
      if (step == 0) {
        t += "(";
        step = 1;
        if (cells[x].left >= 0) stack.push_back({cells[x].left, 0});
      } else if (step == 1) {
        t += cells[x].key;
        step = 2;
        if (cells[x].right >= 0) stack.push_back({cells[x].right, 0});
      } else {
        t += ")";
        stack.pop_back();
      }
    }
    return t;
  }
};

std::string SHAPE(const NameNode* root) {
  std::string t;
  std::vector<std::pair<const NameNode*, int>> stack;
  if (root) stack.push_back({root, 0});
  while (!stack.empty()) {
    auto& [x, step] = stack.back();
    if (step == 0) {
      t += "(";
      step = 1;
      if (x->LEFT) stack.push_back({x->LEFT, 0});
    } else if (step == 1) {
      t += x->NOM;
      step = 2;
      if (x->RIGHT) stack.push_back({x->RIGHT, 0});
    } else {
      t += ")";
      stack.pop_back();
    }
  }
  return t;
}

// The index beside the tree places each name where a walk from the root
// would, whatever the order: shuffled, sorted, reversed, or with repeats
// (field names shared by messages) and a shared prefix.
TEST(NameTree, EveryOrderGivesTheShapeOfPlainInsertion) {
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) names.push_back("N" + std::to_string(100000 + i));
  for (int i = 0; i < 300; ++i) names.push_back("N1" + std::to_string(i));
  std::vector<std::vector<std::string>> orders{names, names, names, names};
  std::sort(orders[1].begin(), orders[1].end());
  std::sort(orders[2].rbegin(), orders[2].rend());
  std::shuffle(orders[3].begin(), orders[3].end(), std::mt19937(7));
  orders[0] = orders[3];
  for (size_t i = 0; i < orders[0].size(); i += 5) orders[0].push_back(orders[0][i]);
  for (const auto& order : orders) {
    TestRun r;
    r.c.src.MSGVAR = true;  // a repeated name is a shared field
    PlainTree plain;
    for (const std::string& n : order) {
      STVNAME(r.c, true, n);
      plain.insert(n);
    }
    EXPECT_EQ(SHAPE(r.c.names.ROOT), plain.text());
    for (const std::string& n : {order.front(), order[order.size() / 2], order.back()}) {
      EXPECT_TRUE(FIND(r, n, "MAIN"));
      EXPECT_EQ(r.c.names.CURENT->NOM, n);
    }
    EXPECT_FALSE(FIND(r, "N", "MAIN"));
    EXPECT_FALSE(FIND(r, "N99", "MAIN"));
  }
}

// The order index against an ordered set: neighbours of each new name and
// the first name at or after a key, across many splits of its runs.
TEST(NameTree, TheOrderIndexAgreesWithAnOrderedSet) {
  std::mt19937 draw(11);
  std::deque<NameNode> entries;
  NameOrder order;
  std::set<std::string> known;
  for (int i = 0; i < 20000; ++i) {
    std::string name = "X" + std::to_string(draw() % 100000);
    if (i % 3 == 0) name = "S" + std::to_string(1000000 + i);  // runs in order
    if (!known.insert(name).second) continue;
    NameNode& e = entries.emplace_back();
    e.NOM = name;
    NameOrder::Neighbours n = order.insert(&e);
    auto at = known.find(name);
    EXPECT_EQ(n.before ? n.before->NOM : "", at == known.begin() ? "" : *std::prev(at));
    EXPECT_EQ(n.after ? n.after->NOM : "", std::next(at) == known.end() ? "" : *std::next(at));
  }
  EXPECT_EQ(order.size(), known.size());
  for (std::string key : {"", "A", "S1", "S1000300", "X5", "X99999", "Y", "X"}) {
    auto want = known.lower_bound(key);
    const NameNode* got = order.atleast(key);
    EXPECT_EQ(got ? got->NOM : "-", want == known.end() ? "-" : *want) << key;
  }
}

// The hash index through its growth: every name is found, a repeated name
// gives back the entry that holds it, and names never entered (many of
// them sharing a slot's hash bits with one entered) are not found.
TEST(NameTree, TheHashIndexFindsEveryNameAndNoOther) {
  std::deque<NameNode> entries;
  NameTable table;
  for (int i = 0; i < 30000; ++i) {
    NameNode& e = entries.emplace_back();
    e.NOM = "B" + std::to_string(100000 + 7 * i);
    ASSERT_EQ(table.insert(&e), nullptr) << e.NOM;
  }
  EXPECT_EQ(table.count, entries.size());
  for (const NameNode& e : entries) ASSERT_EQ(table.find(e.NOM), &e) << e.NOM;
  NameNode again;
  again.NOM = entries[1234].NOM;
  EXPECT_EQ(table.insert(&again), &entries[1234]);
  EXPECT_EQ(table.count, entries.size());
  int absent = 0;
  for (int i = 0; i < 30000; ++i) {
    std::string name = "B" + std::to_string(100000 + 7 * i + 1 + i % 6);
    absent += table.find(name) == nullptr;
  }
  EXPECT_EQ(absent, 30000);
  EXPECT_EQ(table.find(""), nullptr);
}

TEST(NameTree, OrderIsByteWiseAndLongNamesAreCut) {
  TestRun r;
  NameNode* ab = DECLARE(r, "AB");
  EXPECT_EQ(DECLARE(r, "A"), ab->LEFT);
  EXPECT_EQ(DECLARE(r, "ABC"), ab->RIGHT);
  EXPECT_EQ(DECLARE(r, "AB\xC0"), ab->RIGHT->RIGHT);  // above all ASCII
  DECLARE(r, std::string(30, 'Q'));
  EXPECT_EQ(r.c.names.NEWENTRY->NOM, std::string(23, 'Q'));
  EXPECT_TRUE(FIND(r, std::string(30, 'Q'), "MAIN"));
}

TEST(NameTree, UnitsSeeTheirOwnNameBeforeTheGlobalOne) {
  TestRun r;
  NameNode* global = DECLARE(r, "X", "MAIN", "REAL");
  NameNode* inp = DECLARE(r, "X", "P", "INTEGER");
  NameNode* inq = DECLARE(r, "X", "Q", "CHAR");
  EXPECT_EQ(global->SYN, inp);
  EXPECT_EQ(inp->SYN, inq);
  EXPECT_EQ(global->LASTSYN, inq);
  EXPECT_EQ(global->LEFT, nullptr);  // synonyms stay out of the tree
  EXPECT_EQ(global->RIGHT, nullptr);

  EXPECT_TRUE(FIND(r, "X", "P"));
  EXPECT_EQ(r.c.names.CURENT, inp);
  EXPECT_EQ(r.c.src.TIPO, "INTEGER");
  EXPECT_TRUE(FIND(r, "X", "Q"));
  EXPECT_EQ(r.c.names.CURENT, inq);
  EXPECT_TRUE(FIND(r, "X", "MAIN"));
  EXPECT_EQ(r.c.names.CURENT, global);
  EXPECT_EQ(r.c.src.TIPO, "REAL");
  EXPECT_TRUE(FIND(r, "X", "OTHER"));  // a global name is seen everywhere
  EXPECT_EQ(r.c.names.CURENT, global);

  // A unit that declares the name twice sees its first declaration.
  DECLARE(r, "X", "P", "BYTE");
  EXPECT_TRUE(FIND(r, "X", "P"));
  EXPECT_EQ(r.c.names.CURENT, inp);
}

TEST(NameTree, ANameOfOneUnitIsUnknownElsewhere) {
  TestRun r;
  DECLARE(r, "Y", "P", "INTEGER");
  EXPECT_FALSE(FIND(r, "Y", "Q"));
  EXPECT_FALSE(FIND(r, "Y", "MAIN"));
}

TEST(NameTree, SecondDeclarationInOneUnitIsAnError) {
  TestRun r;
  DECLARE(r, "X");
  EXPECT_EQ(r.error([&] { DECLARE(r, "X"); }), "duplicated name X");
  // A message field may not repeat a plain variable either.
  r.c.src.MSGVAR = true;
  EXPECT_EQ(r.error([&] { DECLARE(r, "X"); }), "duplicated name X");
}

TEST(NameTree, AFieldRepeatedInAnotherMessageIsShared) {
  TestRun r;
  r.c.src.MSGVAR = true;
  NameNode* first = DECLARE(r, "F");
  EXPECT_TRUE(first->MSG);
  EXPECT_TRUE(r.c.names.ISNEW);
  STVNAME(r.c, true, "F");
  EXPECT_FALSE(r.c.names.ISNEW);
  ASSERT_EQ(r.c.names.GROUP.size(), 1u);
  EXPECT_EQ(r.c.names.GROUP[0], first);  // the group names the old entry
  EXPECT_EQ(first->LEFT, nullptr);
  EXPECT_EQ(first->RIGHT, nullptr);
}

TEST(NameTree, GroupsCollectTheNamesOfOneDeclaration) {
  TestRun r;
  Names& n = r.c.names;
  STVNAME(r.c, true, "A");
  STVNAME(r.c, false, "B");
  EXPECT_EQ(n.GROUP.size(), 2u);
  STVNAME(r.c, true, "D");
  ASSERT_EQ(n.GROUP.size(), 1u);
  // Direct mode types the entry at once and leaves the group alone.
  n.DIRECTADD = true;
  n.DIRECTCODE = 6;
  r.c.src.TIPO = "REAL";
  STVNAME(r.c, true, "E");
  EXPECT_EQ(n.GROUP[0]->NOM, "D");
  EXPECT_EQ(n.LASTDIRECT->TIPO, "REAL");
  EXPECT_EQ(n.LASTDIRECT->CODE, 6);
}

TEST(NameTree, RecordFieldsAreLookedUpInTheirOwnTree) {
  TestRun r;
  NameNode* rec = DECLARE(r, "R");
  rec->TYPTYP = "RECORD";
  FIELDS(r, rec, {"F", "H"});
  NameNode* root = r.c.names.ROOT;

  SCAN(r, "R.F := 1");
  BUSIDAR(r.c);
  EXPECT_EQ(r.c.src.IDENT, "R.F");
  EXPECT_EQ(r.c.names.CURENT->NOM, "F");
  EXPECT_EQ(r.c.names.RECNAME, "R");
  EXPECT_EQ(r.c.src.CH, ' ');
  EXPECT_EQ(r.c.names.ROOT, root);

  SCAN(r, "R.G := 1");
  EXPECT_EQ(r.error([&] { BUSIDAR(r.c); }), "invalid field name");
  EXPECT_EQ(r.c.names.ROOT, root);

  SCAN(r, "R := S");  // the record as a whole
  BUSIDAR(r.c);
  EXPECT_EQ(r.c.src.IDENT, "R");
  EXPECT_EQ(r.c.names.CURENT, rec);
}

TEST(NameTree, PointersAreDereferencedAndTheirFieldsChecked) {
  TestRun r;
  NameNode* p = DECLARE(r, "P");
  p->TYPTYP = "POINTER";
  FIELDS(r, p, {"V"});

  SCAN(r, "P^ := Q");
  BUSIDAR(r.c);
  EXPECT_EQ(r.c.src.IDENT, "P^");
  EXPECT_EQ(r.c.src.K, 3);
  EXPECT_FALSE(r.c.src.NOTFOUND);

  SCAN(r, "P^.V := 1");
  BUSIDAR(r.c);
  EXPECT_EQ(r.c.src.IDENT, "P^.V");
  EXPECT_EQ(r.c.names.CURENT->NOM, "V");

  SCAN(r, "P^.W := 1");
  EXPECT_EQ(r.error([&] { BUSIDAR(r.c); }), "invalid field name");
}

TEST(NameTree, TheCurrentMessageTakesAnyField) {
  TestRun r;
  PREDEF(r.c);
  SCAN(r, "PMESS^.ANYTHING := 1");
  BUSIDAR(r.c);
  EXPECT_EQ(r.c.src.IDENT, "PMESS^.ANYTHING");
  EXPECT_EQ(r.c.src.CH, ' ');
  // Only PMESS is exempt.
  SCAN(r, "O_PMESS^.ANYTHING := 1");
  EXPECT_EQ(r.error([&] { BUSIDAR(r.c); }), "invalid field name");
}

TEST(NameTree, DbaseFieldsAreFoundByTableAndField) {
  TestRun r;
  r.c.src.DBDECL = true;
  r.c.src.TIPO = "INTEGER";
  STVNAME(r.c, true, "T.AGE");
  NameNode* age = r.c.names.NEWENTRY;
  STVNAME(r.c, true, "T.NAME");  // right of T.AGE, off the search path of T
  r.c.src.DBDECL = false;
  EXPECT_EQ(age->TYPTYP, "ARRAY");
  EXPECT_EQ(age->TYPEL, "INTEGER");
  EXPECT_TRUE(age->DB);

  SCAN(r, "X := T.NAME + 1");
  r.c.src.K = 6;
  RECID(r.c);
  ASSERT_EQ(r.c.src.IDENT, "T");
  NameNode* found = BUSIDAR1(r.c);
  EXPECT_TRUE(r.c.names.FOUND);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->NOM, "T.NAME");
  EXPECT_EQ(r.c.src.IDENT, "T.NAME");
  EXPECT_EQ(r.c.src.KSTART, 6);
  EXPECT_EQ(r.c.src.K, 12);

  SCAN(r, "T.SIZE + 1");  // no such field: the position is given back
  BUSIDAR1(r.c);
  EXPECT_FALSE(r.c.names.FOUND);
  EXPECT_EQ(r.c.src.IDENT, "T");
  EXPECT_EQ(r.c.src.K, 2);
  EXPECT_EQ(r.c.src.KSTART, 1);
  EXPECT_EQ(r.c.src.CH, '.');

  SCAN(r, "T.;");  // not even a field: the word stays a word
  EXPECT_EQ(BUSIDAR1(r.c), nullptr);
  EXPECT_TRUE(r.c.src.IDREAD);
  EXPECT_EQ(r.c.src.KIND, TokKind::Word);
  EXPECT_EQ(r.c.src.IDENT, "T");
  EXPECT_EQ(r.c.src.K, 2);
  EXPECT_EQ(r.c.src.CH, '.');
}

TEST(NameTree, NodesAreFoundInTheNodeTable) {
  TestRun r;
  Model& m = r.c.model;
  for (const char* name : {"COLA", "SERV"}) {
    NodeRecord x;
    x.NOM = name;
    ADDNODE(m, x);
  }
  m.NodeTable.resize(4);  // the entry a caller would add next
  m.NodeTable[3].IL = 7;
  r.c.src.IDENT = "SERV";
  EXPECT_EQ(BUSNODE(r.c), 2);
  EXPECT_FALSE(r.c.src.NOTFOUND);
  EXPECT_EQ(m.NODEIDX, 2);

  r.c.src.NOTFOUND = true;
  r.c.src.IDENT = "NONE";
  EXPECT_EQ(BUSNODE(r.c), 0);
  EXPECT_TRUE(r.c.src.NOTFOUND);
  EXPECT_EQ(m.NodeTable[3].IL, 0);  // readied for the next node
  r.c.src.MSGVAR = true;
  BUSNODE(r.c);
  EXPECT_TRUE(m.LOOPEND);
}

TEST(NameTree, MessageNamesAreAddedOnceInOrder) {
  TestRun r;
  Names& n = r.c.names;
  for (std::string name : {"A", "B", "A"}) {
    r.c.src.IDENT = name;
    BUSLIST(r.c);
  }
  EXPECT_TRUE(n.MSGFOUND);
  EXPECT_EQ(n.CURMSG, &n.MSGNAMES[0]);
  ASSERT_EQ(n.MSGNAMES.size(), 2u);
  EXPECT_EQ(n.MSGNAMES[1].NOM, "B");
}

}  // namespace
