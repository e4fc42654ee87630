// Section finder: the pass that runs right after the line store is built.
// BUNET creates PRU.PAS and finds the NETWORK line; BUSECT walks the network
// line by line up to INIT, reading node headers (BUNOD) into NodeTable and
// counting MODULE lines, then finds the DECL line. Sets SectionLine, the
// node table and ModuleCount; moves PL, LB and K directly and through the
// scanner. Node code is only located here, never read.
#include "ground/compiler.h"
#include "symbols/names.h"
#include "source/source.h"
#include "model/model.h"
#include "decl/decl.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// A letter outside the eight node types means an ordinary node.
char NODETYPE(char letter) {
  switch (letter) {
    case 'A': case 'C': case 'D': case 'E': case 'G': case 'I': case 'L':
    case 'R':
      return letter;
    default:
      return 'O';
  }
}

bool ATSENTINEL(const Source& s) {
  return s.PL == static_cast<int>(s.lines.size()) - 1;
}

// PL to the next line; the sentinel has none after it.
void NEXTPL(Source& s) {
  if (!ATSENTINEL(s)) s.PL++;
}

// The walk's own step to the next line.
void NEXTLINE(Source& s) {
  NEXTPL(s);
  s.LB++;
}

// The 7 characters from the first non-blank column spell NETWORK in any
// case; what follows them is not looked at. Leaves K on that column.
bool ISNETWORK(Source& s) {
  const SourceLine l = s.line();
  s.K = 1;
  while (l.at(s.K) == ' ') s.K++;
  if (l.len() - s.K + 1 < 7) return false;
  for (int i = 0; i < 7; ++i)
    if (UPPER(l.at(s.K + i)) != "NETWORK"[i]) return false;
  return true;
}

// What BUNOD knows about the header it is reading.
struct Header {
  NodeRecord n;              // the scratch record
  bool ok = true;            // still a header
  bool var = false;          // ended by VAR
  bool subscripted = false;  // a subscript was read
  int offset = 2;            // code column relative to K at the end
};

// After "," another word must follow.
void NEXTWORD(Compiler& c, Header& h) {
  c.src.K++;
  RECID(c);
  if (!c.src.IDREAD) h.ok = false;
}

// closing -> "]"  (K steps past it)
void CLOSESUB(Compiler& c, Header& h) {
  RECID(c);
  if (c.src.CH != ']') {
    h.ok = false;
    return;
  }
  c.src.K++;
}

// An integer literal that fits a 32-bit value.
bool INTLITERAL(const std::string& w, int& v) {
  if (w.empty() || w.size() > 10) return false;
  long long x = 0;
  for (char ch : w) {
    if (ch < '0' || ch > '9') return false;
    x = x * 10 + (ch - '0');
  }
  if (x > 2147483647LL) return false;
  v = static_cast<int>(x);
  return true;
}

// multiplicity -> "[" "1" ".." n "]"   (CH on "[")
void READMULT(Compiler& c, Header& h) {
  Source& s = c.src;
  s.K++;
  RECID(c);
  if (s.IDENT != "1"sv || s.at(s.K) != '.' || s.at(s.K + 1) != '.') {
    h.ok = false;
    return;
  }
  s.K += 2;
  RECID(c);
  if (!INTLITERAL(s.IDENT, h.n.MULT)) {
    h.ok = false;
    return;
  }
  CLOSESUB(c, h);
}

// subscript -> "[" word "]"   (CH on "[", after a successor)
void READSUB(Compiler& c, Header& h) {
  Source& s = c.src;
  s.K++;
  RECID(c);
  h.n.SUCC.back().SUB = CUT(s.IDENT, NAMEMAX);
  CLOSESUB(c, h);
}

// type -> "(" letter ")"   (CH on "(")
void READTYPE(Compiler& c, Header& h) {
  Source& s = c.src;
  if (h.subscripted) {
    WARNING(c, "possible error en node definition");
    h.ok = false;
    return;
  }
  s.K++;
  RECID(c);
  if (s.IDENT.size() != 1 || s.IDENT[0] < 'A' || s.IDENT[0] > 'Z') {
    h.ok = false;
    return;
  }
  h.n.TIPO = NODETYPE(s.IDENT[0]);
  RECID(c);
  s.K++;
  if (s.CH != ')') {
    h.ok = false;
    return;
  }
  RECID(c);
}

// labels -> LABEL [word] {"," [word]} ";"   (IDENT = LABEL)
void READLABELS(Compiler& c, Header& h) {
  Source& s = c.src;
  do {
    RECID(c);
    if (s.IDREAD) h.n.LABELS.push_back({CUT(s.IDENT, NAMEMAX)});
    RECID(c);
    if (s.CH != ',' && s.CH != ';') ERROR(c, "; or , expected");
    s.K++;
  } while (s.CH != ';');
  RECID(c);
}

// successor -> word ["[" word "]"] ["," word]   (IDENT = the word)
// Successors are separated by commas: a second word right after a plain
// successor ends the try, unless it is LABEL or VAR.
void READSUCC(Compiler& c, Header& h) {
  Source& s = c.src;
  NodeLink link;
  link.NOM = CUT(s.IDENT, NAMEMAX);
  h.n.SUCC.push_back(link);
  RECID(c);
  if (s.IDREAD) {
    if (s.IDENT != "LABEL"sv && s.IDENT != "VAR"sv) h.ok = false;
    return;
  }
  switch (s.CH) {
    case ',':
      NEXTWORD(c, h);
      break;
    case ':':
      break;
    case '[':
      READSUB(c, h);
      if (!h.ok) return;
      h.subscripted = true;
      RECID(c);
      // A word already read here is the next successor; stepping over a
      // comma after it would drop it.
      if (!s.IDREAD && s.CH == ',') NEXTWORD(c, h);
      break;
    default:
      h.ok = false;
  }
}

// The header is complete: check the name and append the node.
void ACCEPT(Compiler& c, Header& h) {
  Source& s = c.src;
  Model& m = c.model;
  NodeRecord& n = h.n;
  s.IDENT = n.NOM;
  RETOKEN(s);
  CHKRES(c);
  if (m.NODENUM.count(n.NOM)) ERROR(c, "duplicated node name");
  n.CODELINE = s.LB;
  n.CODEPL = s.PL;
  n.C = s.K + h.offset;
  // Only an accepted header ends the wait: a code line tried between
  // MODULE and the header must not leave the module without a first node.
  m.AFTERMODULE = false;
  TRACELN(c, "HALLADO NODO ", n.NOM, " TIPO ", n.TIPO, " LIN ", n.L);
  ADDNODE(m, std::move(n));
}

}  // namespace

int ADDNODE(Model& m, NodeRecord n) {
  if (m.NodeTable.empty()) m.NodeTable.emplace_back();  // [0] is not a node
  m.NodeCount++;
  m.NODENUM.emplace(n.NOM, m.NodeCount);
  if (n.TIPO == 'I') m.LASTI = m.NodeCount;
  m.NodeTable.push_back(std::move(n));
  return m.NodeCount;
}

// Creates PRU.PAS and finds the line that starts with NETWORK. The line of
// the source's first word is never examined. LB counts from 0 there, so it
// runs one behind the line examined until NETWORK is found.
void BUNET(Compiler& c) {
  Source& s = c.src;
  Model& m = c.model;
  BINDCH(c, CH_PRU, c.drv.DIRPREF + "PRU.PAS");
  CREATECH(c, CH_PRU);
  m.SectionLine = {0, 0, 0, 0};
  s.PL = 0;
  s.LB = 0;
  s.K = 1;
  RECID(c);
  NEXTPL(s);
  bool found = false;
  while (!found && s.at(1) != '$') {
    s.LB++;
    if (ISNETWORK(s)) {
      s.LB++;
      found = true;
    } else {
      NEXTPL(s);
    }
  }
  if (!found) ERROR(c, "NETWORK missing or misplaced");
  s.LB++;
  m.SectionLine[1] = s.LB;
  NEXTPL(s);
}

// header -> name {type | multiplicity | successors | labels} ("::" | VAR)
// Entered with IDENT = the line's first word and CH the character after
// it. A header that does not parse is node code; before the first node
// that earns a warning.
void BUNOD(Compiler& c) {
  Source& s = c.src;
  Model& m = c.model;
  Header h;
  h.n.NOM = CUT(s.IDENT, NAMEMAX);
  h.n.L = s.LB;
  h.n.CODELINE = s.LB;
  h.n.CODEPL = s.PL;
  if (m.AFTERMODULE || m.NodeCount == 0) h.n.MODULE = m.ModuleCount;
  h.n.TIPO = h.n.NOM.empty() ? 'O' : NODETYPE(h.n.NOM[0]);
  TRACELN(c, "BUSCA POSIBLE NODO ", h.n.NOM);
  TRACELN(c, "VA A PREPARAR LISTA SUCESORES");
  s.PROBING = true;  // cleared below; an error ends the run anyway
  TRACELN(c, "BUSCA LO QUE SIGUE A NOM INICIAL ", s.CH);
  RECID(c);
  while (h.ok && !h.var &&
         (s.IDREAD || !(s.at(s.K) == ':' && s.at(s.K + 1) == ':'))) {
    if (s.IDREAD) {
      if (s.IDENT == "LABEL"sv) {
        READLABELS(c, h);
      } else if (s.IDENT == "VAR"sv) {
        h.var = true;
        s.K = s.KSTART;
        h.offset = 0;
      } else {
        READSUCC(c, h);
      }
      continue;
    }
    switch (s.CH) {
      case '(':
        READTYPE(c, h);
        break;
      case '[':
        READMULT(c, h);
        if (!h.ok) break;
        h.subscripted = true;
        RECID(c);
        break;
      default:
        h.ok = false;
    }
  }
  s.PROBING = false;
  if (h.ok) {
    ACCEPT(c, h);
  } else {
    TRACELN(c, "NO FUE NODO");
    if (m.NodeCount == 0) WARNING(c, "Not a Node");
  }
  TRACELN(c, "TERMINA BUNOD");
}

// Walks the network from the line after NETWORK to INIT. Only lines whose
// first word is followed by a blank, "(", ":" or "[" are tried as headers.
// A try that fails is node code: the walk goes on from the line after the
// one where it began, since the scanner may have run into the next lines,
// which may hold a header or INIT.
static bool WALKNETWORK(Compiler& c) {
  Source& s = c.src;
  Model& m = c.model;
  m.ModuleCount = 1;
  m.AFTERMODULE = false;
  while (s.at(1) != '$') {
    s.K = 1;
    RECID(c);
    if (s.IDENT == "INIT"sv) {
      // A MODULE line after the last node opens no module.
      if (m.AFTERMODULE) m.ModuleCount--;
      m.AFTERMODULE = false;
      return true;
    }
    if (s.IDENT == "MODULE"sv) {
      s.line().put(1, s.EOLCH);  // later passes skip the line as empty
      // A module begins with a node: a MODULE line before the first node,
      // or after another MODULE line, opens no module of its own (its unit
      // would be empty, or never written).
      if (m.NodeCount > 0 && !m.AFTERMODULE) m.ModuleCount++;
      m.AFTERMODULE = m.NodeCount > 0;
    } else if (s.IDREAD &&
               (s.CH == ' ' || s.CH == '(' || s.CH == ':' || s.CH == '[')) {
      int pl = s.PL, lb = s.LB, count = m.NodeCount;
      BUNOD(c);
      if (m.NodeCount == count) {
        s.PL = pl;
        s.LB = lb;
      }
    }
    NEXTLINE(s);
    TRACELN(c, "VA A VER LA LINEA LB ", s.LB, ' ', s.line().text());
  }
  return false;
}

// From the INIT line to the DECL line. Without DECL the position is left at
// the start of the END. line, where the declaration pass can read on.
static void FINDDECL(Compiler& c) {
  Source& s = c.src;
  Model& m = c.model;
  TRACELN(c, "BUSCANDO DECL *************LB ", s.LB);
  m.DECLFOUND = false;
  while (s.line().text() != "$") {
    s.K = 1;
    RECID(c);
    if (s.IDENT == "DECL"sv) {
      m.DECLFOUND = true;
      break;
    }
    NEXTLINE(s);
  }
  if (!m.DECLFOUND) {
    if (ATSENTINEL(s) && s.PL > 0) {
      s.PL--;
      s.LB--;
    }
    WARNING(c, "no se halla bloque DECL");
    s.K = 1;
  }
  m.SectionLine[3] = s.LB;
  TRACELN(c, "INIT ", m.SectionLine[2], " DECL O END. ", m.SectionLine[3]);
}

void BUSECT(Compiler& c) {
  Source& s = c.src;
  Model& m = c.model;
  // Room for a node on every line, which no model reaches: a table that
  // grew by doubling would write each record again at each step, while
  // room reserved and never used is never touched.
  m.NodeTable.clear();
  m.NodeTable.reserve(s.lines.size() + 2);
  m.NodeTable.emplace_back();
  m.NodeCount = 0;
  m.LASTI = 0;
  m.NODENUM.clear();
  bool init = WALKNETWORK(c);
  if (m.NodeCount == 0) ERROR(c, "no nodes found");
  for (int i = 1; i <= m.NodeCount; ++i)
    TRACELN(c, "PASA A ARREGLO NODO ", m.NodeTable[i].NOM);
  if (!init) ERROR(c, "INIT missing or misplaced");
  m.SectionLine[2] = s.LB;
  FINDDECL(c);
}
