// Input and output: the lists written with "@" and "%" (INTI, OUTG), which
// become calls of the runtime's dialog routines, and the read and write
// statements WRITELN, WRITE, READLN, READ, which pass through, and FILE,
// which appends a line of values to a text file named in the model.
// Entered from PRINS and PRINST; the lists with transmission off, the
// statements with it on. Reads INREPORT; keeps the FILE names (FILENAMES)
// and writes their variables to PRU.PAS and their headers into _init.
#include <algorithm>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "symbols/keywords.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "ground/text.h"
#include "ground/literals.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// The call templates of one item, by type, for input and output. '*' the
// variable, '&' the file, '#' its flag, '/' the width, '.' the decimals,
// '@' and '%' the range of an array.
struct IoTemplate {
  const char* type;
  const char* in;
  const char* out;
};
constexpr IoTemplate SCALARS[] = {
    {"REAL", "_insr(*,&,#,/,.,", "_resr(*,&,#,/,.,"},
    {"DOUBLE", "_insd(*,&,#,/,.,", "_resr(*,&,#,/,.,"},
    {"INTEGER", "_insi(*,&,#,/,", "_resi(*,&,#,/,"},
    {"LONGINT", "_insl(*,&,#,/,", "_resi(*,&,#,/,"},
    {"STR80", "_inss(*,&,#,1,", "_ress(*,/,"}};
constexpr IoTemplate ARRAYS[] = {
    {"REAL", "_inar(_par,&,#,/,.,@,%,", "_rear(_par,&,#,/,.,@,%,"},
    {"INTEGER", "_inai(_pai,&,#,/,@,%,", "_reai(_pai,&,#,/,@,%,"}};
// The array of a range item, REAL or INTEGER: '*' its name.
constexpr const char* RANGEADDR[] = {"_pai:=addr(*);", "_par:=addr(*);"};
// The format's defaults: no width, no decimals; the file and its flag
// (a dialog, the report, a TEXT variable).
constexpr const char* NOWIDTH = "-1";
constexpr const char* KEYBOARD = "INPUT";
constexpr const char* SCREEN = "_ars";
constexpr const char* REPORTFILE = "OUTF";
constexpr const char* REPORTFLAG = "_bf";
constexpr const char* FLAG[] = {"false", "true"};
constexpr const char* LABEL = "'*');";  // closes the call with its label
// FILE: '*' the file's variable, '/' its name as written.
constexpr const char* FILEVAR = "_filv*";
constexpr const char* FILEDECL = "var *:text; ";
constexpr const char* FILEHEAD[] = {"if nrep=1 then begin ", "assign(*,_outpath(/));",
                                    "assign(*,_outpath(",    "));",
                                    "rewrite(*);",           "writeln(*,",
                                    "writeln(*,'# 1');",     "end;"};
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* FILELINE[] = {"Append(*);", "WRITELN(*", ",*", ",' '", ");", "CloseFile(*);"};
constexpr const char* FILEEND[] = {" end ", " end;"};  // before END or ELSE, after ";"

// After an argument's expression: [":" width [":" decimals]], then "," or
// ")", which is left in CH with K past it.
void ARGEND(Compiler& c) {
  Source& s = c.src;
  if (!s.IDREAD && s.CH == ':') {
    RECID(c);
    EXPECTUNSIGNED(c, "number expected");
    RECID(c);
    if (!s.IDREAD && s.CH == ':') {
      s.K++;
      RECID(c);
      EXPECTUNSIGNED(c, "number expected");
      RECID(c);
    }
    MUSTBEONE(c, ",)", ", or ) expected");
    s.K++;
  } else {
    MUSTBEONE(c, ",)", ", or ) expected");
  }
}

// "[" lo ".." hi "]" follows: the range form of an array item. No
// subscript of an element holds "..", so any ".." before the "]" (or the
// line's end) makes a range, whose bounds are then checked.
bool RANGEAHEAD(const Source& s) {
  for (int k = s.K + 1; k <= s.line().len() && s.at(k) != ']'; ++k)
    if (s.at(k) == '.' && s.at(k + 1) == '.') return true;
  return false;
}

std::string BOUNDNUMBER(Compiler& c) {
  READSIGNED(c);
  if (!c.src.ISNUM && !c.src.ISINT) ERROR(c, "number expected");  // "1.." is ISINT only
  return c.src.IDENT;
}

// A list of valued functions shown or read by the program's dialogs:
// name {"," name} ";".
void FUNCTIONLIST(Compiler& c) {
  Source& s = c.src;
  for (;;) {
    std::string name = WHAT(s);
    s.NOTFOUND = true;
    if (s.IDREAD) FUNVLOOK(c);
    if (!s.IDREAD || s.NOTFOUND) ERROR(c, "variable or function name expected " + name);
    FOUNDFUNV(c).IOMARK = true;
    RECID(c);
    MUSTBEONE(c, ";,", " , or ; expected");
    if (s.CH == ';') break;
    s.K++;
    RECID(c);
  }
  s.K++;
}

// The format after the item's ":": [file ":"] [width [":" decimals]]
// label ";". Fills the file, its flag, width, decimals and label.
struct Format {
  std::string file, flag, width = NOWIDTH, dec = NOWIDTH, label;
};

Format READFORMAT(Compiler& c, bool input) {
  Source& s = c.src;
  Format f;
  f.file = input ? KEYBOARD : SCREEN;
  f.flag = FLAG[false];
  if (c.stmt.INREPORT) {
    f.file = REPORTFILE;
    f.flag = REPORTFLAG;
  }
  RECID(c);
  if (HASTEXT(s) && !s.ISNUM) {
    std::string name = s.IDENT;
    const NameNode* e = BUSIDAR1(c);
    if (e && e->TIPO == "TEXT"sv) {
      if (c.stmt.INREPORT) ERROR(c, "file parameter in REPORT");
      f.file = name;
      f.flag = FLAG[true];
      RECID(c);
      MUSTBE(c, ':');
      s.K++;
      RECID(c);
    }
  }
  if (s.IDREAD && s.ISNUM) {
    if (!s.ISINT) ERROR(c, "incorrect format");
    f.width = s.IDENT;
    RECID(c);
    if (!s.IDREAD && s.CH == ':') {
      s.K++;
      RECID(c);
      if (!UNSIGNEDINT(s)) ERROR(c, "incorrect format");
      f.dec = s.IDENT;
      RECID(c);
    }
  }
  // The label: the rest of the line up to ";".
  int k = s.KSTART;
  while (k <= s.line().len() && s.at(k) != ';') k++;
  if (s.at(k) != ';') ERROR(c, "; expected");
  f.label = TRIM(std::string(s.line().text().substr(s.KSTART - 1, k - s.KSTART)));
  s.K = k + 1;
  return f;
}

const IoTemplate* TEMPLATEOF(const IoTemplate* t, size_t n, const std::string& type) {
  for (size_t i = 0; i < n; ++i)
    if (type == t[i].type) return &t[i];
  return nullptr;
}

// The call, then its label closing the literal: a label that pushes the
// line on may start the next output line whole.
void SENDITEM(Compiler& c, const std::string& call, const std::string& label) {
  SEND(c, call, true);
  SENDLITERAL(c, c.out.CURCH, Start::PACKED, LABEL, label);
}

// FILE: the number of the file named by text, which is new or not.
int FILENUMBER(Compiler& c, const std::string& name, bool& fresh) {
  std::vector<std::string>& f = c.stmt.FILENAMES;
  size_t k = std::find(f.begin(), f.end(), name) - f.begin();
  fresh = k == f.size();
  if (fresh) f.push_back(name);
  return static_cast<int>(k) + 1;
}

// The file's variable, and in _init its creation with one heading line
// per value, in the first replication only. A FILE of a user procedure
// comes before _init is begun: its lines wait for _init's head.
void DECLAREFILE(Compiler& c, const std::string& v, const std::string& name,
                 const std::vector<std::string>& values) {
  SENDPIECE(c, CH_PRU, FILLIN(FILEDECL, {{'*', v}}), true);
  FLUSHOUT(c, CH_PRU);
  std::vector<FileHeading> lines;
  lines.push_back({FILEHEAD[0], true});
  // The name as written, often a literal: a piece of its own when long.
  // A relative name lands in the run's --out directory.
  if (v.size() + name.size() + 19 <= static_cast<size_t>(LINEMAX)) {
    lines.push_back({FILLIN(FILEHEAD[1], {{'*', v}, {'/', name}}), true});
  } else {
    lines.push_back({FILLIN(FILEHEAD[2], {{'*', v}}), true});
    lines.push_back({name, false});
    lines.push_back({FILEHEAD[3], false});
  }
  lines.push_back({FILLIN(FILEHEAD[4], {{'*', v}}), true});
  for (const std::string& x : values) {
    lines.push_back({FILLIN(FILEHEAD[5], {{'*', v}}), true});
    for (std::string& piece : LITERALPIECES(LABEL, x)) lines.push_back({piece, false});
  }
  lines.push_back({FILLIN(FILEHEAD[6], {{'*', v}}), true});
  lines.push_back({FILEHEAD[7], true});
  std::vector<FileHeading>& wait = c.stmt.FILEHEADS;
  if (c.stmt.INITMODE || c.gen.NODEPASS) {
    for (const FileHeading& l : lines) SENDPIECE(c, CH_MODIN1, l.TEXT, l.NEWLINE);
  } else {
    wait.insert(wait.end(), lines.begin(), lines.end());
  }
}

// FILE "(" name "," value {"," value} ")": the values as one line of the
// file; each value may carry ":" width [":" decimals].
void PRFILEOUT(Compiler& c) {
  Source& s = c.src;
  c.out.TRANSMIT = false;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  RECID(c);
  MUSTBE(c, '(');
  int k = s.K + 1;
  while (k <= s.line().len() && s.at(k) != ',') k++;
  if (s.at(k) != ',') ERROR(c, ", expected");
  std::string name = TRIM(std::string(s.line().text().substr(s.K, k - s.K - 1)));
  s.K = k + 1;
  std::vector<std::string> values, headings;
  bool inwrite = c.expr.INWRITE;
  c.expr.INWRITE = true;
  for (;;) {
    PEEK(c);
    int pl = s.PL, k0 = s.KSTART;
    PREXP(c);
    headings.push_back(TRIM(SOURCETEXT(c, pl, k0, s.PL, s.K - 1)));  // without its format
    ARGEND(c);
    values.push_back(TRIM(SOURCETEXT(c, pl, k0, s.PL, s.K - 1)));
    if (s.CH == ')') break;
  }
  c.expr.INWRITE = inwrite;
  RECID(c);
  bool semicolon = !s.IDREAD && s.CH == ';';
  if (semicolon) {
    s.K++;
    c.out.TRSTART = s.K;
  } else if (ENDORELSE(s)) {
    c.out.TRSTART = s.KSTART;
  } else {
    ERROR(c, "END or ELSE expected");
  }
  bool fresh;
  std::string v = FILLIN(FILEVAR, {{'*', std::to_string(FILENUMBER(c, name, fresh))}});
  SEND(c, BEGINBLOCK, true);
  if (fresh) DECLAREFILE(c, v, name, headings);
  SEND(c, FILLIN(FILELINE[0], {{'*', v}}), true);
  SEND(c, FILLIN(FILELINE[1], {{'*', v}}), true);
  for (size_t i = 0; i < values.size(); ++i)
    SEND(c,
         FILLIN(FILELINE[2], {{'*', values[i]}}) +
             (i + 1 < values.size() ? FILELINE[3] : FILELINE[4]),
         false);
  SEND(c, FILLIN(FILELINE[5], {{'*', v}}), false);
  SEND(c, FILEEND[semicolon], false);
  c.out.TRANSMIT = true;
}

}  // namespace

void WriteFileHeadings(Compiler& c) {
  for (const FileHeading& l : c.stmt.FILEHEADS) SENDPIECE(c, CH_MODIN1, l.TEXT, l.NEWLINE);
  c.stmt.FILEHEADS.clear();
}

// item -> variable ["[" subscripts "]" | "[" lo ".." hi "]"] ":" format
//       | function {"," function} ";"
void PRIOLIST(Compiler& c, bool input, std::string_view) {
  Source& s = c.src;
  std::string name = WHAT(s);
  const NameNode* found = HASTEXT(s) ? BUSIDAR1(c) : nullptr;
  if (!found) {
    FUNCTIONLIST(c);
    return;
  }
  const NameNode& e = *found;
  bool array = e.TIPO == "ARRAY"sv || e.TYPTYP == "ARRAY"sv;
  if (array && e.NSUB == 2) ERROR(c, "two subscript arrays for I/O not implemented yet");
  if (array && e.NSUB > 2) ERROR(c, "variable with more than 3 subscripts in input");
  std::string text = name;
  std::string type = array ? e.TYPEL : e.TIPO;
  std::string lo, hi;
  RECID(c);
  bool range = false;
  if (!s.IDREAD && s.CH == '[') {
    if (array && RANGEAHEAD(s)) {
      range = true;
      s.K++;
      lo = BOUNDNUMBER(c);
      if (s.at(s.K) != '.' || s.at(s.K + 1) != '.') ERROR(c, ".. expected");
      s.K += 2;
      hi = BOUNDNUMBER(c);
      RECID(c);
      MUSTBE(c, ']');
      s.K++;
    } else {
      int k0 = s.K;
      PRSUBS(c, e.NSUB);
      text += std::string(s.line().text().substr(k0 - 1, std::max(0, s.K - k0)));
    }
    RECID(c);
  } else if (array) {
    ERROR(c, "[ expected");
  }
  MUSTBE(c, ':');
  s.K++;
  Format f = READFORMAT(c, input);
  const IoTemplate* t = range ? TEMPLATEOF(ARRAYS, std::size(ARRAYS), type)
                              : TEMPLATEOF(SCALARS, std::size(SCALARS), type);
  if (!t) ERROR(c, "incorrect type of variable");
  if (range) SEND(c, FILLIN(RANGEADDR[type == "REAL"sv], {{'*', name}}), true);
  std::string call = FILLIN(input ? t->in : t->out, {{'*', text},
                                                    {'&', f.file},
                                                    {'#', f.flag},
                                                    {'/', f.width},
                                                    {'.', f.dec},
                                                    {'@', lo},
                                                    {'%', hi}});
  SENDITEM(c, call, f.label);
}

// WRITELN | WRITE | READLN | READ ["(" arg {"," arg} ")"], arg -> expression
// [":" width [":" decimals]]; FILE has a translation of its own.
void PRIOSTMT(Compiler& c) {
  Source& s = c.src;
  if (c.stmt.INEXPER) ERROR(c, "not allowed statement in EXPER");
  c.names.NOMFUNPG = " ";
  if (s.IDENT == "FILE"sv) {
    PRFILEOUT(c);
    return;
  }
  RECID(c);
  if (!s.IDREAD && s.CH == '(') {
    s.K++;
    bool inwrite = c.expr.INWRITE;
    c.expr.INWRITE = true;
    for (;;) {
      PREXP(c);
      ARGEND(c);
      if (s.CH == ')') break;
    }
    c.expr.INWRITE = inwrite;
    RECID(c);
  }
  if (!s.IDREAD) {
    MUSTBE(c, ';');
    s.K++;
  } else if (!ENDORELSE(s)) {
    ERROR(c, "END or ELSE expected");
  }
}
