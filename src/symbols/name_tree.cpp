// Name tree: entering declared names (STVNAME), finding them with the unit
// rules (BUSIDAR1) and with record fields and pointers (BUSIDAR), plus the
// node-name lookup (BUSNODE) and the find-or-add message names (BUSLIST).
// Every lookup goes through an index (names by tree, synonyms by unit,
// nodes and messages by name), so none costs more as the model grows.
// Reads IDENT, CH, K, SCOPE and the copy flags INPROC, MSGVAR, DBDECL;
// lookups return the entry found and leave CURENT, FOUND, TIPO and clear
// NOTFOUND on success.
// Called by the declaration passes, the classifier and the translators.
#include <algorithm>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

// Names are stored cut, so a lookup compares the same cut text.
static std::string NAMEKEY(std::string_view s) { return CUT(s, NAMEMAX); }

// The entries visited from the root on the way to key (trace only).
static void TRACEPATH(Compiler& c, const std::string& key) {
  SEARCHTREE(c.names.ROOT, key, [&](const NameNode* x) {
    TRACELN(c, "EXPLORANDO ELEMENTO ", x->NOM, " DEL ARBOL");
    return true;
  });
}

// FNV-1a: names are short, and this beats a general hash on them.
static size_t HASHNAME(std::string_view s) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char ch : s) h = (h ^ ch) * 1099511628211ull;
  return static_cast<size_t>(h ^ (h >> 29));
}

static std::uint8_t HASHTAG(size_t h) {
  return static_cast<std::uint8_t>((h >> 56) | 0x80);
}

NameNode* NameTable::find(std::string_view key) const {
  if (slots.empty()) return nullptr;
  size_t mask = slots.size() - 1;
  size_t h = HASHNAME(key);
  std::uint8_t tag = HASHTAG(h);
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    if (tags[i] == 0) return nullptr;
    if (tags[i] == tag && slots[i]->NOM == key) return slots[i];
  }
}

NameNode* NameTable::insert(NameNode* e) {
  if (2 * (count + 1) > slots.size()) {
    size_t size = std::max<size_t>(16, 2 * slots.size());
    std::vector<NameNode*> old(size, nullptr);
    std::vector<std::uint8_t> oldtags(size, 0);
    old.swap(slots);
    oldtags.swap(tags);
    size_t mask = slots.size() - 1;
    for (size_t j = 0; j < old.size(); ++j) {
      if (!old[j]) continue;
      size_t i = HASHNAME(old[j]->NOM) & mask;
      while (slots[i]) i = (i + 1) & mask;
      slots[i] = old[j];
      tags[i] = oldtags[j];
    }
  }
  size_t mask = slots.size() - 1;
  size_t h = HASHNAME(e->NOM);
  std::uint8_t tag = HASHTAG(h);
  size_t i = h & mask;
  for (; tags[i]; i = (i + 1) & mask)
    if (tags[i] == tag && slots[i]->NOM == e->NOM) return slots[i];
  slots[i] = e;
  tags[i] = tag;
  ++count;
  return nullptr;
}

// The number of a unit's name in Names::UNITS, given one when new.
static std::uint32_t UNITNUMBER(Names& n, const std::string& unit) {
  auto it = n.UNITNOS.find(unit);
  if (it != n.UNITNOS.end()) return it->second;
  const std::string& kept = n.UNITS.emplace_back(unit);
  auto no = static_cast<std::uint32_t>(n.UNITS.size() - 1);
  n.UNITNOS.emplace(kept, no);
  return no;
}

// Attaches a new entry E at its place, or to the chain of the entry X that
// already holds the name. Returns X, or null when E went into the tree.
// Plain insertion would hang E below its in-order neighbour that has the
// free side: the predecessor when its right link is free, otherwise the
// successor (whose left link then is), which the index finds at once.
static NameNode* PLACE(Compiler& c, NameNode* e) {
  Names& n = c.names;
  if (c.drv.TRACE) TRACEPATH(c, e->NOM);
  NameIndex& ix = n.INDEX[n.ROOT ? n.ROOT : e];
  if (NameNode* known = ix.byname.insert(e)) return known;
  NameOrder::Neighbours at = ix.order.insert(e);
  ix.dotted = ix.dotted || e->NOM.find('.') != std::string::npos;
  if (!n.ROOT) {
    n.ROOT = e;
    return nullptr;
  }
  if (at.before && !at.before->RIGHT)
    at.before->RIGHT = e;
  else
    at.after->LEFT = e;
  return nullptr;
}

namespace {
bool NAMEBEFORE(const NameNode* a, std::string_view b) { return a->NOM < b; }
bool NAMEAFTER(std::string_view a, const NameNode* b) { return a < b->NOM; }
}  // namespace

NameOrder::Neighbours NameOrder::insert(NameNode* e) {
  ++count;
  if (runs.empty()) {
    runs.emplace_back(1, e);
    return {};
  }
  std::string_view key = e->NOM;
  // The first run whose last name is greater; past the end, the last run.
  auto r = std::upper_bound(runs.begin(), runs.end(), key,
                            [](std::string_view k, const std::vector<NameNode*>& run) {
                              return k < run.back()->NOM;
                            });
  if (r == runs.end()) --r;
  size_t ri = static_cast<size_t>(r - runs.begin());
  std::vector<NameNode*>& run = *r;
  auto at = std::upper_bound(run.begin(), run.end(), key, NAMEAFTER);
  size_t pos = static_cast<size_t>(at - run.begin());
  Neighbours n;
  n.before = pos > 0 ? run[pos - 1] : ri > 0 ? runs[ri - 1].back() : nullptr;
  n.after = pos < run.size() ? run[pos] : ri + 1 < runs.size() ? runs[ri + 1].front() : nullptr;
  run.insert(at, e);
  if (run.size() > RUN) {
    std::vector<NameNode*> upper(run.begin() + RUN / 2, run.end());
    run.resize(RUN / 2);
    runs.insert(runs.begin() + ri + 1, std::move(upper));
  }
  return n;
}

NameNode* NameOrder::atleast(std::string_view key) const {
  auto r = std::lower_bound(runs.begin(), runs.end(), key,
                            [](const std::vector<NameNode*>& run, std::string_view k) {
                              return run.back()->NOM < k;
                            });
  if (r == runs.end()) return nullptr;
  return *std::lower_bound(r->begin(), r->end(), key, NAMEBEFORE);
}

NameNode* FINDNAME(Compiler& c, NameNode* root, std::string_view key) {
  if (!root) return nullptr;
  auto ix = c.names.INDEX.find(root);
  if (ix == c.names.INDEX.end()) return nullptr;
  return ix->second.byname.find(key.substr(0, NAMEMAX));
}

// A second declaration of a known name: a synonym inside a program unit,
// a field shared by two messages, or an error.
static void REPEATED(Compiler& c, NameNode* x, NameNode* e) {
  TRACELN(c, "HALLADO SINONIMO DE PROC. O MENSAJE");
  TRACEWAIT(c);
  if (c.src.INPROC) {
    if (!x->SYN) {
      x->SYN = e;
      TRACELN(c, "ES PRIMER SINONIMO ", e->NOM);
    } else {
      x->LASTSYN->SYN = e;
    }
    x->LASTSYN = e;
    c.names.SYNUNIT.emplace(SynKey{x, c.names.UNITOF(e)}, e);
  } else if (c.src.MSGVAR && x->MSG) {
    c.names.ISNEW = false;
    TRACELN(c, "VARIABLE DE MENSAJE REPETIDA ", e->NOM);
    TRACEWAIT(c);
  } else {
    ERROR(c, "duplicated name " + e->NOM);
  }
}

void STVNAME(Compiler& c, bool first, std::string_view name) {
  Names& n = c.names;
  TRACELN(c, "NOMBRE A AGREGAR A ARBOL ", name);
  TRACELN(c, first ? "ES PRIMERO" : "NO PRIMERO");
  TRACEWAIT(c);
  n.ISNEW = true;
  NameNode& e = n.ENTRIES.emplace_back();
  e.NOM = NAMEKEY(name);
  e.TYPEL = n.TYPEL;
  e.NSUB = n.NSUB;
  e.MSG = c.src.MSGVAR;
  e.UNITNO = UNITNUMBER(n, n.SCOPE);
  e.DB = c.src.DBDECL;
  n.NEWENTRY = &e;
  if (c.src.DBDECL) {
    e.TIPO = e.TYPTYP = "ARRAY";
    e.TYPEL = c.src.TIPO;
    e.BOUNDS = n.BOUNDS;
  }
  NameNode* x = PLACE(c, &e);
  bool synonym = x && c.src.INPROC;
  if (x) REPEATED(c, x, &e);
  if (n.DIRECTADD) {
    TRACELN(c, "AGREGAR VARIABLE TIPO TALVEN DBASE O PROCED.");
    e.CODE = n.DIRECTCODE;
    e.TIPO = c.src.TIPO;
    e.SYN = nullptr;
    n.LASTDIRECT = &e;
    return;
  }
  if (synonym) {
    TRACELN(c, "HAY SINONIMOS");
    TRACELN(c, "SE AGREGO SINONIMO ", name, "  ", x->LASTSYN->NOM,
            " DE PROG ", n.SCOPE);
  } else {
    TRACELN(c, "NO HAY SINONIMOS");
  }
  NameNode* cell = &e;
  if (n.ISNEW)
    e.TIPO.clear();
  else
    cell = x;
  if (first) n.GROUP.clear();
  n.GROUP.push_back(cell);
  TRACELN(c, "SALE DE STVNAME");
  TRACEWAIT(c);
}

static void FOUNDIT(Compiler& c, NameNode* e) {
  c.names.CURENT = e;
  c.names.FOUND = true;
  c.src.NOTFOUND = false;
  c.src.TIPO = e->TIPO;
}

// IDENT equals the name of x: which of x and its synonyms the unit sees.
// Returns false when the search must stop without a result.
static bool PICKUNIT(Compiler& c, NameNode* x) {
  const std::string& scope = c.names.SCOPE;
  const std::string& unit = c.names.UNITOF(x);
  if (scope == std::string_view("MAIN") || unit == scope) {
    if (unit != scope) return false;  // MAIN never sees a unit's names
    FOUNDIT(c, x);
    return true;
  }
  TRACELN(c, "BUSCANDO SINONIMO ", c.src.IDENT);
  // Only an entry with a synonym chain has synonyms indexed by unit.
  auto syn = x->SYN ? c.names.SYNUNIT.find(SynKey{x, scope}) : c.names.SYNUNIT.end();
  if (syn != c.names.SYNUNIT.end()) {
    NameNode* s = syn->second;
    FOUNDIT(c, s);
    TRACELN(c, "VAR LOCAL ", s->NOM, " TIPO ", s->TIPO);
    TRACEWAIT(c);
    return true;
  }
  c.src.TIPO = x->TIPO;
  TRACELN(c, "VER SI ES VAR GLOBAL TIPO ", x->TIPO);
  TRACEWAIT(c);
  if (x->UNITNO != 0) return false;  // not MAIN's
  FOUNDIT(c, x);
  return true;
}

// IDENT followed by '.' at a dbase entry "IDENT.field": reads the field and
// takes the whole name when it is a dbase variable. Fields of one table
// need not all lie on IDENT's search path, so the qualified name is looked
// up in the whole tree rather than compared with this entry alone.
static bool QUALIFIED(Compiler& c, NameNode* x, const std::string& key) {
  Source& s = c.src;
  size_t dot = x->NOM.find('.');
  if (s.CH != '.' || !x->DB || dot == std::string::npos ||
      x->NOM.compare(0, dot, key) != 0)
    return false;
  Token word = CURTOKEN(s);
  int lb = s.LB;
  std::string ident = key;
  s.K++;
  RECID(c);
  NameNode* q = FINDNAME(c, c.names.ROOT, ident + "." + s.IDENT);
  if (q && q->DB) {
    FOUNDIT(c, q);
    s.IDENT = q->NOM;
    RETOKEN(s);
    s.KSTART = word.start;
    return true;
  }
  // The word is given back whole, flags too, whatever followed the point.
  s.KSTART = word.start;
  s.K = word.end;
  s.PL = word.line;
  s.LB = lb;
  s.IDENT = ident;
  s.IDREAD = true;
  s.KIND = word.kind;
  s.ISNUM = word.isnum;
  s.ISINT = word.isint;
  s.CH = '.';
  return false;
}

// Whether a dbase name "key.field" is in the tree below root: only then
// may the entries on key's search path read a qualified name.
static bool TABLEPREFIX(Compiler& c, std::string_view key) {
  auto found = c.names.INDEX.find(c.names.ROOT);
  if (found == c.names.INDEX.end() || !found->second.dotted) return false;
  const NameIndex& ix = found->second;
  std::string prefix(key);
  prefix += '.';
  const NameNode* first = ix.order.atleast(prefix);
  return first && first->NOM.compare(0, prefix.size(), prefix) == 0;
}

NameNode* BUSIDAR1(Compiler& c) {
  Names& n = c.names;
  TRACELN(c, "ENTRADA A BUSIDAR1 CON ", c.src.IDENT);
  TRACEWAIT(c);
  n.FOUND = false;
  c.src.TIPO.clear();  // " ", written in place: the lookup runs for every name
  c.src.TIPO.push_back(' ');
  std::string_view cut = std::string_view(c.src.IDENT).substr(0, NAMEMAX);
  if (n.ROOT && c.src.CH == '.' && TABLEPREFIX(c, cut)) {
    // table.field: what the walk meets on its way decides. QUALIFIED reads
    // on and gives IDENT back, so the key is a copy.
    std::string key(cut);
    NameNode* x = SEARCHTREE(n.ROOT, key, [&](NameNode* at) {
      return at->NOM == key || !QUALIFIED(c, at, key);
    });
    if (x) {
      n.CURENT = x;
      PICKUNIT(c, x);
    } else if (!n.FOUND) {
      n.CURENT = nullptr;
    }
  } else {
    n.CURENT = FINDNAME(c, n.ROOT, cut);
    if (n.CURENT) PICKUNIT(c, n.CURENT);
  }
  if (n.FOUND) {
    const NameNode* e = n.CURENT;
    TRACELN(c, "SE HALLO ", e->NOM, " TIPO ", c.src.TIPO, " TYPTYP ",
            e->TYPTYP, " DE PROGR. ", n.UNITOF(e));
  } else {
    TRACELN(c, "NO ESTA EN ARBOL");
  }
  TRACEWAIT(c);
  return n.FOUND ? n.CURENT : nullptr;
}

// Looks up the field in IDENT in the tree below the entry found.
static void FIELDLOOKUP(Compiler& c) {
  Names& n = c.names;
  NameNode* root = n.ROOT;
  n.ROOT = n.CURENT->FIELDS;
  NameNode* field = BUSIDAR1(c);
  n.ROOT = root;
  if (!field) ERROR(c, "invalid field name");
}

// BUSIDAR -> name [ '.' field ] [ '^' [ '.' field ] ]
NameNode* BUSIDAR(Compiler& c) {
  Names& n = c.names;
  Source& s = c.src;
  NameNode* e = BUSIDAR1(c);
  if (e && e->TYPTYP == "RECORD"sv) {
    n.RECNAME = s.IDENT;
    TRACELN(c, "ENCONTRO TIPO RECORD ", s.IDENT, " BUSCA CAMPO  ",
            "NOMFUNPG ", n.NOMFUNPG);
    if (s.CH == '.') {
      s.K++;
      RECID(c);
      FIELDLOOKUP(c);
      s.IDENT = n.RECNAME + "." + s.IDENT;
      RETOKEN(s);
      TRACELN(c, "HALLADO ", s.IDENT, " TIPO ", s.TIPO);
      TRACEWAIT(c);
    }
  }
  if (n.FOUND && n.CURENT->TYPTYP == "POINTER"sv && s.CH == '^') {
    if (s.at(s.K + 1) != '.') {
      s.K++;
      n.RECNAME = s.IDENT;
      s.NOTFOUND = false;
      s.IDENT = n.RECNAME + "^";
      RETOKEN(s);
      return n.CURENT;
    }
    n.RECNAME = s.IDENT;
    TRACELN(c, "ENCONTRO TIPO POINTER ", s.IDENT, " BUSCA CAMPO");
    s.K += 2;
    RECID(c);
    TRACELN(c, "BUSCARA EN SUBARBOL COM.CON ", s.IDENT);
    // The current message's fields are checked where it is used.
    if (n.RECNAME != "PMESS"sv) FIELDLOOKUP(c);
    s.IDENT = n.RECNAME + "^." + s.IDENT;
    RETOKEN(s);
  }
  TRACELN(c, "RECOGIDO ", s.IDENT);
  return n.FOUND ? n.CURENT : nullptr;
}

int BUSNODE(Compiler& c) {
  Model& m = c.model;
  std::string key = NAMEKEY(c.src.IDENT);
  auto it = m.NODENUM.find(key);
  if (it != m.NODENUM.end()) {
    c.src.NOTFOUND = false;
    m.NODEIDX = it->second;
    TRACELN(c, "HALLADO NODO ", key, " EN TABLA");
    return it->second;
  }
  if (c.src.MSGVAR) {
    m.LOOPEND = true;
  } else if (m.NodeCount + 1 < static_cast<int>(m.NodeTable.size())) {
    m.NodeTable[m.NodeCount + 1].IL = 0;  // the entry a caller adds next
    m.NodeTable[m.NodeCount + 1].SUBEL = 0;
  }
  return 0;
}

MessageName* FINDMSG(Compiler& c, std::string_view name) {
  auto it = c.names.MSGINDEX.find(name.substr(0, NAMEMAX));
  return it == c.names.MSGINDEX.end() ? nullptr : it->second;
}

void BUSLIST(Compiler& c) {
  Names& n = c.names;
  n.CURMSG = FINDMSG(c, c.src.IDENT);
  n.MSGFOUND = n.CURMSG != nullptr;
  if (n.MSGFOUND) return;
  n.CURMSG = &n.MSGNAMES.emplace_back();
  n.CURMSG->NOM = NAMEKEY(c.src.IDENT);
  n.MSGINDEX.emplace(n.CURMSG->NOM, n.CURMSG);
}

void PRINTTREE(Compiler& c, const NameNode* root) {
  if (!c.drv.TRACE) return;
  WALKTREE(root, [&](const NameNode* e) {
    TRACELN(c, e->NOM, ' ', e->TIPO, ' ', e->CODE);
  });
}
