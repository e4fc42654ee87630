// Name tree: entering declared names (STVNAME), finding them with the unit
// rules (BUSIDAR1) and with record fields and pointers (BUSIDAR), plus the
// node-name lookup (BUSNODE) and the find-or-add message names (BUSLIST).
// Every lookup goes through an index (names by tree, synonyms by unit,
// nodes and messages by name), so none costs more as the model grows.
// Reads IDENT, CH, K, SCOPE and the copy flags INPROC, MSGVAR, DBDECL;
// lookups leave CURENT, FOUND, TIPO and clear NOTFOUND on success.
// Called by the declaration passes, the classifier and the translators.
#include "ground/compiler.h"

// Names are stored cut, so a lookup compares the same cut text.
static std::string NAMEKEY(std::string_view s) { return CUT(s, NAMEMAX); }

// The entries visited from the root on the way to key (trace only).
static void TRACEPATH(Compiler& c, const std::string& key) {
  for (NameNode* x = c.names.ROOT; x; x = key < x->NOM ? x->LEFT : x->RIGHT) {
    TRACELN(c, "EXPLORANDO ELEMENTO ", x->NOM, " DEL ARBOL");
    if (key == x->NOM) break;
  }
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
  auto [known, added] = ix.byname.emplace(e->NOM, e);
  if (!added) return known->second;
  auto at = ix.order.emplace_hint(ix.order.lower_bound(e->NOM), e->NOM, e);
  ix.dotted = ix.dotted || e->NOM.find('.') != std::string::npos;
  if (!n.ROOT) {
    n.ROOT = e;
    return nullptr;
  }
  NameNode* pred = at == ix.order.begin() ? nullptr : std::prev(at)->second;
  if (pred && !pred->RIGHT)
    pred->RIGHT = e;
  else
    std::next(at)->second->LEFT = e;
  return nullptr;
}

NameNode* FINDNAME(Compiler& c, NameNode* root, std::string_view key) {
  if (!root) return nullptr;
  const NameIndex& ix = c.names.INDEX[root];
  auto it = ix.byname.find(key.substr(0, NAMEMAX));
  return it == ix.byname.end() ? nullptr : it->second;
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
    c.names.SYNUNIT.emplace(SynKey{x, e->UNIT}, e);
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
  e.UNIT = n.SCOPE;
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
  if (scope == "MAIN" || x->UNIT == scope) {
    if (x->UNIT != scope) return false;  // MAIN never sees a unit's names
    FOUNDIT(c, x);
    return true;
  }
  TRACELN(c, "BUSCANDO SINONIMO ", c.src.IDENT);
  auto syn = c.names.SYNUNIT.find(SynKey{x, scope});
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
  if (x->UNIT != "MAIN") return false;
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
  int kstart = s.KSTART, k = s.K, pl = s.PL, lb = s.LB;
  std::string ident = key;
  s.K++;
  RECID(c);
  NameNode* q = FINDNAME(c, c.names.ROOT, ident + "." + s.IDENT);
  if (q && q->DB) {
    FOUNDIT(c, q);
    s.IDENT = q->NOM;
    RETOKEN(s);
    s.KSTART = kstart;
    return true;
  }
  s.KSTART = kstart;
  s.K = k;
  s.PL = pl;
  s.LB = lb;
  s.IDENT = ident;
  RETOKEN(s);
  s.CH = '.';
  return false;
}

// Whether a dbase name "key.field" is in the tree below root: only then
// may the entries on key's search path read a qualified name.
static bool TABLEPREFIX(Compiler& c, const std::string& key) {
  const NameIndex& ix = c.names.INDEX[c.names.ROOT];
  if (!ix.dotted) return false;
  std::string prefix = key + ".";
  auto it = ix.order.lower_bound(prefix);
  return it != ix.order.end() && it->first.substr(0, prefix.size()) == prefix;
}

void BUSIDAR1(Compiler& c) {
  Names& n = c.names;
  TRACELN(c, "ENTRADA A BUSIDAR1 CON ", c.src.IDENT);
  TRACEWAIT(c);
  n.FOUND = false;
  c.src.TIPO = " ";
  std::string key = NAMEKEY(c.src.IDENT);
  if (n.ROOT && c.src.CH == '.' && TABLEPREFIX(c, key)) {
    // table.field: what the walk meets on its way decides.
    n.CURENT = n.ROOT;
    while (n.CURENT && !n.FOUND) {
      NameNode* x = n.CURENT;
      if (x->NOM == key) {
        if (!PICKUNIT(c, x)) break;
      } else if (!QUALIFIED(c, x, key)) {
        n.CURENT = x->NOM < key ? x->RIGHT : x->LEFT;
      }
    }
  } else {
    n.CURENT = FINDNAME(c, n.ROOT, key);
    if (n.CURENT) PICKUNIT(c, n.CURENT);
  }
  if (n.FOUND) {
    const NameNode* e = n.CURENT;
    TRACELN(c, "SE HALLO ", e->NOM, " TIPO ", c.src.TIPO, " TYPTYP ",
            e->TYPTYP, " DE PROGR. ", e->UNIT);
  } else {
    TRACELN(c, "NO ESTA EN ARBOL");
  }
  TRACEWAIT(c);
}

// Looks up the field in IDENT in the tree below the entry found.
static void FIELDLOOKUP(Compiler& c) {
  Names& n = c.names;
  NameNode* root = n.ROOT;
  n.ROOT = n.CURENT->FIELDS;
  BUSIDAR1(c);
  n.ROOT = root;
  if (!n.FOUND) ERROR(c, "invalid field name");
}

// BUSIDAR -> name [ '.' field ] [ '^' [ '.' field ] ]
void BUSIDAR(Compiler& c) {
  Names& n = c.names;
  Source& s = c.src;
  BUSIDAR1(c);
  if (n.FOUND && n.CURENT->TYPTYP == "RECORD") {
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
  if (n.FOUND && n.CURENT->TYPTYP == "POINTER" && s.CH == '^') {
    if (s.at(s.K + 1) != '.') {
      s.K++;
      n.RECNAME = s.IDENT;
      s.NOTFOUND = false;
      s.IDENT = n.RECNAME + "^";
      RETOKEN(s);
      return;
    }
    n.RECNAME = s.IDENT;
    TRACELN(c, "ENCONTRO TIPO POINTER ", s.IDENT, " BUSCA CAMPO");
    s.K += 2;
    RECID(c);
    TRACELN(c, "BUSCARA EN SUBARBOL COM.CON ", s.IDENT);
    // The current message's fields are checked where it is used.
    if (n.RECNAME != "PMESS") FIELDLOOKUP(c);
    s.IDENT = n.RECNAME + "^." + s.IDENT;
    RETOKEN(s);
  }
  TRACELN(c, "RECOGIDO ", s.IDENT);
}

void BUSNODE(Compiler& c) {
  Model& m = c.model;
  std::string key = NAMEKEY(c.src.IDENT);
  auto it = m.NODENUM.find(key);
  if (it != m.NODENUM.end()) {
    c.src.NOTFOUND = false;
    m.NODEIDX = it->second;
    TRACELN(c, "HALLADO NODO ", key, " EN TABLA");
    return;
  }
  if (c.src.MSGVAR) {
    m.LOOPEND = true;
  } else if (m.NodeCount + 1 < static_cast<int>(m.NodeTable.size())) {
    m.NodeTable[m.NodeCount + 1].IL = 0;  // the entry a caller adds next
    m.NodeTable[m.NodeCount + 1].SUBEL = 0;
  }
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
