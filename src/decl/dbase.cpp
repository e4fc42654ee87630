// dBase tables: the DBTABLES class reads each table file's header and
// field descriptors at compile time and declares one array per data field,
// entered in the name tree as field_table and table.field (the classifier
// rewrites both into table.field^); PRDBDECL writes the tables' constants,
// array, record and raw-record types and variables into pru; LOAD, UNLOAD
// and DBUPDATE move the data at run time through the runtime's _ardbase
// files. A file whose header does not describe its own contents is a model
// error; a file that cannot be opened stops the run like any input file.
// Reads and writes Decl::DBTABS. Called by BUDECL (PRODBT), the network
// organisation (PRDBDECL) and PRINST (PRLOAD, PRUNLOAD, PRDBUPDATE, which
// leave the statement's end to it).
#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <fstream>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "ground/literals.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; '*' a table, '/' a field or a count, the others
// as said.
constexpr const char* DBF = "*.dbf";
constexpr const char* ARRAYTYPEOF = "_/_*";
constexpr const char* ARRAYNAME = "*./";
constexpr const char* CELL = "*^[/]";  // an array, the indices
constexpr const char* LOOP = "for _i/:=1 to n_* do  ";
constexpr const char* INDEX[] = {"_i/", ",_i/"};
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* ENDSEMI = "end;";
// LOAD: '*' an array or a cell, '/' its type or the raw field.
constexpr const char* LOADOPEN = "assign(_ardbase,'*'); _leerenc(_ardbase);";
constexpr const char* GETMEM = "getmem(*,sizeof(/));";
constexpr const char* RECLEN = "_lonreg:=/;";
constexpr const char* READREC = "blockread(_ardbase,_le_*,_lonreg,_resu);";
constexpr const char* RAWFIELD = "_le_*./";
constexpr const char* TAKESTRING = "*:=/;";
constexpr const char* TAKEBOOL[] = {"*:=", "/[1] in ['T','t','Y','y'];"};
constexpr const char* TAKENUMBER = "val(/,*,_k);";
constexpr const char* LOADEND = "closeFile(_ardbase) ";
// UNLOAD.
constexpr const char* FREEMEM = "freemem(*,sizeof(/));";
// DBUPDATE: '*' a cell, '/' a width, '#' the decimals.
constexpr const char* UPDOPEN[] = {"assign(_ardbase,'*'); reset(_ardbase,1);",
                                   "assign(_ardbaseu,'*'); reset(_ardbaseu,1);"};
constexpr const char* COPYSTDB = "_copystdb;";
constexpr const char* READLEN = "blockread(_ardbase,_le_*,/,_resu);";
constexpr const char* SHOWSTRING = "_stau:=*;";
constexpr const char* SHOWREAL = "str(*:/:#,_stau);";
constexpr const char* SHOWINTEGER = "str(*:/,_stau);";
constexpr const char* SHOWBOOLEAN = "if * then _stau:='T' else _stau:='F';";
constexpr const char* RAWCHAR = "_le_*./[_j]";
constexpr const char* PADFIELD[] = {"for _j:=1 to / do if _j<=length(_stau) then",
                                    " *:=_stau[_j] else *:=' ';"};
constexpr const char* WRITEREC = "blockwrite(_ardbaseu,_le_*,/,_resu);";
constexpr const char* UPDEND = "closeFile(_ardbase); closeFile(_ardbaseu);";
// The declarations in pru.
constexpr const char* PASCALTYPES[] = {"real", "integer", "boolean", "string[/]"};
constexpr const char* DIM[] = {"1../", ",1../"};
constexpr const char* RECTYPE[] = {"type _ty_*=record ", "/:^#; ", "end;"};  // '#' array type
constexpr const char* RAWTYPE[] = {"_tle_*=record _del:char; ", "/:array[1..#] of char; ", "end;"};
constexpr const char* RAWVAR = "var _le_*:_tle_*;";
constexpr const char* KEYBUFFER = "_cle_*:array[1..180] of char;";
constexpr const char* KEYNAMES = "const NOM_*:array[1../] of string[11]=(";
constexpr const char* KEYNAME[] = {"'*', ", "'*');"};
constexpr const char* CONSTHEAD = "const ";
constexpr const char* RECNUMBER = "_nu/:integer=/;";
constexpr const char* COUNTS = "const N_*:integer=/; _nv_*:integer=#;";  // records, fields
constexpr const char* ARRAYDECL = "type *=array[/] of #;";
constexpr const char* TABLEVAR = "var *:_ty_*;";

constexpr int DBMAXDIM = 9;

constexpr size_t DBNAMEMAX = 11;  // table names and key values
constexpr int HEADSIZE = 32;      // the file header and each field descriptor


// The token's text as written (file names keep their letter case).
std::string WRITTEN(const Source& s) {
  std::string t;
  for (int i = s.KSTART; i < s.K; ++i) t += s.at(i);
  return t;
}



// ---- the table file

std::streamoff LE(const unsigned char* b, int n) {
  std::streamoff v = 0;
  for (int i = n - 1; i >= 0; --i) v = v * 256 + b[i];
  return v;
}

[[noreturn]] void BADFILE(Compiler& c, const std::string& shown) {
  ERROR(c, "invalid dbf file " + shown);
}

// One 32-byte descriptor: name up to the first byte below '0', type
// letter at 11, width at 16, decimals at 17.
DbField FIELDOF(Compiler& c, const unsigned char* b, const std::string& shown) {
  DbField f;
  for (int i = 0; i < 11 && b[i] >= '0'; ++i) f.NOM += static_cast<char>(b[i]);
  f.NOM = UPPER(f.NOM);
  f.WIDTH = b[16];
  f.DEC = b[17];
  if (f.NOM.empty() || f.WIDTH == 0) BADFILE(c, shown);
  bool name = std::isalpha(static_cast<unsigned char>(f.NOM[0])) != 0;
  for (char ch : f.NOM) name = name && std::isalnum(static_cast<unsigned char>(ch));
  if (!name) ERROR(c, "invalid field name " + f.NOM);
  switch (b[11]) {
    case 'N': f.TIPO = f.DEC > 0 ? "REAL" : "INTEGER"; f.SIZE = f.DEC > 0 ? 6 : 2; break;
    case 'C': f.TIPO = "STRING"; f.SIZE = f.WIDTH; break;
    case 'L': f.TIPO = "BOOLEAN"; f.SIZE = 1; break;
    default: ERROR(c, "field type not supported " + f.NOM);
  }
  return f;
}

// The first field of a record as a key: its characters '0'..'z', blank
// padded to 11.
std::string KEYOF(const std::string& rec, int width) {
  std::string k;
  for (int i = 1; i <= width && i < static_cast<int>(rec.size()) && k.size() < DBNAMEMAX; ++i)
    if (rec[i] >= '0' && rec[i] <= 'z') k += rec[i];
  k.resize(DBNAMEMAX, ' ');
  return k;
}

// Header, descriptors and (keys) records of t's file: every size the
// header gives is checked against the file before it is used.
void READDBF(Compiler& c, DbTable& t, bool keys) {
  std::string shown = t.FILE + ".dbf";
  std::string path = shown;
  std::replace(path.begin(), path.end(), '\\', '/');
  // A FIFO or a device would be waited on for ever: only a regular file.
  std::error_code ec;
  auto kind = std::filesystem::status(INPATH(c, path), ec).type();
  if (!ec && kind != std::filesystem::file_type::regular)
    throw IoError{shown, "not a regular file"};
  std::ifstream f(INPATH(c, path), std::ios::binary);
  if (!f) throw IoError{shown, "dBase table cannot be opened"};
  f.seekg(0, std::ios::end);
  std::streamoff size = f.tellg();
  f.seekg(0);
  unsigned char h[HEADSIZE];
  if (size < HEADSIZE || !f.read(reinterpret_cast<char*>(h), HEADSIZE)) BADFILE(c, shown);
  t.NREC = LE(h + 4, 4);
  std::streamoff hlen = LE(h + 8, 2);
  t.RECLEN = static_cast<int>(LE(h + 10, 2));
  if (hlen < HEADSIZE + 1 || hlen > size) BADFILE(c, shown);
  long long nfields = (hlen - 1) / HEADSIZE - 1;
  int width = 0;
  for (long long i = 0; i < nfields; ++i) {
    unsigned char d[HEADSIZE];
    if (!f.read(reinterpret_cast<char*>(d), HEADSIZE)) BADFILE(c, shown);
    t.FIELDS.push_back(FIELDOF(c, d, shown));
    width += t.FIELDS.back().WIDTH;
  }
  // The raw record type holds the deletion mark and the fields, nothing else.
  if (t.RECLEN != width + 1) BADFILE(c, shown);
  if (hlen + t.NREC * t.RECLEN > size) BADFILE(c, shown);
  if (!keys || t.FIELDS.empty()) return;
  f.seekg(hlen);
  std::string rec(t.RECLEN, ' ');
  for (long long i = 0; i < t.NREC; ++i) {
    if (!f.read(&rec[0], t.RECLEN)) BADFILE(c, shown);
    t.KEYVALS.push_back(KEYOF(rec, t.FIELDS[0].WIDTH));
  }
}

// ---- the declaration

int FINDTABLE(const Compiler& c, const std::string& name) {
  const std::vector<DbTable>& t = c.decl.DBTABS;
  for (size_t i = 0; i < t.size(); ++i)
    if (t[i].NOM == name) return static_cast<int>(i);
  return -1;
}

// The word at IDENT must not be reserved (it names a Pascal identifier).
void CHKWORD(Compiler& c, const std::string& w) {
  std::string ident = c.src.IDENT;
  c.src.IDENT = w;
  RETOKEN(c.src);
  CHKRES(c);
  c.src.IDENT = ident;
  RETOKEN(c.src);
}

// A data field in the name tree: an array over the table's dimensions.
void ENTERFIELD(Compiler& c, const std::string& name, const DbField& f,
                const std::vector<Bound>& dims) {
  Names& n = c.names;
  n.DIRECTADD = true;
  n.DIRECTCODE = 0;
  n.NSUB = static_cast<int>(dims.size());
  n.BOUNDS = dims;
  c.src.TIPO = f.TIPO;
  STVNAME(c, true, name);
  NameNode* e = n.NEWENTRY;
  e->TIPO = e->TYPTYP = "ARRAY";
  e->TYPEL = f.TIPO;
  e->COUNT1 = dims.back().MAX;
  n.DIRECTADD = false;
  n.NSUB = 0;
  n.BOUNDS.clear();
}

// Keys of a table with m > 1 name its dimensions; the rest are data fields.
void DECLAREFIELDS(Compiler& c, DbTable& t) {
  std::vector<Bound> dims;
  if (t.M > static_cast<int>(t.FIELDS.size())) ERROR(c, "error in table declaration");
  for (int i = 0; i < t.M && t.M > 1; ++i) {
    int k = FINDTABLE(c, t.FIELDS[i].NOM);
    if (k < 0) ERROR(c, "invalid database table");
    t.FIELDS[i].KEY = true;
    t.KEYTABS.push_back(k);
    dims.push_back({1, static_cast<int>(std::min<long long>(INT_MAX, c.decl.DBTABS[k].NREC))});
  }
  if (t.M == 1) dims.push_back({1, static_cast<int>(std::min<long long>(INT_MAX, t.NREC))});
  for (const DbField& f : t.FIELDS) {
    if (f.KEY) continue;
    CHKWORD(c, f.NOM);
    ENTERFIELD(c, f.NOM + "_" + t.NOM, f, dims);
    ENTERFIELD(c, t.NOM + "." + f.NOM, f, dims);
  }
}

// table -> name [":" m]; IDENT holds the name.
void TABLE(Compiler& c, const std::string& prefix, bool first) {
  Source& s = c.src;
  Decl& d = c.decl;
  if (NOWORD(s) || !std::isalpha(static_cast<unsigned char>(s.IDENT[0])))
    ERROR(c, "error in table declaration");
  CHKNAME(c);
  // The table is a variable of pru: no declared name may take its place.
  if (const NameNode* x = FINDNAME(c, c.names.ROOT, s.IDENT))
    ERROR(c, "duplicated name " + x->NOM);
  DbTable t;
  t.NOM = CUT(s.IDENT, DBNAMEMAX);
  if (FINDTABLE(c, t.NOM) >= 0) ERROR(c, "duplicated name " + t.NOM);
  t.FILE = prefix + WRITTEN(s);
  t.FIRST = first;
  RECID(c);
  if (!s.IDREAD && s.CH == ':') {
    s.K++;
    RECID(c);
    if (!s.ISNUM || !s.ISINT || INTVALUE(s.IDENT) < 1) ERROR(c, "integer constant expected");
    // One runtime loop index (_i1.._i9) a dimension.
    if (s.IDENT.size() > 1 || INTVALUE(s.IDENT) > DBMAXDIM) ERROR(c, "at most 9 key tables");
    t.M = INTVALUE(s.IDENT);
    RECID(c);
  }
  READDBF(c, t, first && t.M == 1);
  TRACELN(c, "TABLA ", t.NOM, " REGISTROS ", t.NREC, " CAMPOS ", t.FIELDS.size());
  DECLAREFIELDS(c, t);
  d.DBMAXREC = std::max(d.DBMAXREC, t.NREC);
  d.DBTABS.push_back(std::move(t));
}

// Paths are written with either separator; each is kept as written.
bool SEPARATOR(char ch) { return ch == '\\' || ch == '/'; }

// prefix -> [letter ":"] {word sep} ; leaves IDENT on the first table.
std::string PREFIX(Compiler& c) {
  Source& s = c.src;
  std::string p;
  if (s.IDREAD && s.IDENT.size() == 1 && std::isalpha(static_cast<unsigned char>(s.IDENT[0])) &&
      s.CH == ':' && SEPARATOR(s.at(s.K + 1))) {
    p = WRITTEN(s) + ":";
    s.K++;
    RECID(c);
  }
  while (SEPARATOR(s.CH) && !ISSTRING(s)) {
    if (s.IDREAD) p += WRITTEN(s);
    p += s.CH;
    s.K++;
    RECID(c);
  }
  return p;
}

// group -> "(" prefix table {"," table} ")"; CH on "(".
void GROUP(Compiler& c) {
  Source& s = c.src;
  s.K++;
  RECID(c);
  std::string prefix = PREFIX(c);
  for (bool first = true;; first = false) {
    TABLE(c, prefix, first);
    MUSTBEONE(c, "),", " , or ) expected");
    if (s.CH == ')') break;
    s.K++;
    RECID(c);
  }
  s.K++;
}

// ---- the instructions

// name "," — a declared table.
int DBTABLE(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  int t = FINDTABLE(c, CUT(s.IDENT, DBNAMEMAX));
  if (NOWORD(s) || t < 0) ERROR(c, "invalid database table");
  RECID(c);
  EXPECT(c, ',');
  s.K++;
  return t;
}

// field {"," field} ")"
std::vector<std::string> DBFIELDS(Compiler& c) {
  Source& s = c.src;
  std::vector<std::string> fields;
  do {
    RECID(c);
    fields.push_back(s.IDENT);
    RECID(c);
    MUSTBEONE(c, ",)", ") or , expected");
    s.K++;
  } while (s.CH != ')');
  return fields;
}

// A data field of table t by name.
const DbField& FIELD(Compiler& c, const DbTable& t, const std::string& name) {
  for (const DbField& f : t.FIELDS)
    if (!f.KEY && f.NOM == name) return f;
  ERROR(c, "invalid field name");
}

std::string ARRAYTYPE(const DbTable& t, const DbField& f) {
  return FILLIN(ARRAYTYPEOF, {{'*', t.NOM}, {'/', f.NOM}});
}
std::string ARRAYOF(const DbTable& t, const DbField& f) {
  return FILLIN(ARRAYNAME, {{'*', t.NOM}, {'/', f.NOM}});
}

// The loops over t's records, one per dimension; returns the index list.
std::string LOOPS(Compiler& c, const DbTable& t) {
  const std::vector<DbTable>& all = c.decl.DBTABS;
  std::string idx;
  int m = t.M > 1 ? t.M : 1;
  for (int i = 1; i <= m; ++i) {
    const std::string& bound = t.M > 1 ? all[t.KEYTABS[i - 1]].NOM : t.NOM;
    OWNLINE(c, c.out.CURCH, FILLIN(LOOP, {{'/', std::to_string(i)}, {'*', bound}}));
    idx += FILLIN(INDEX[i > 1], {{'/', std::to_string(i)}});
  }
  return idx;
}

// LOAD "(" table "," field {"," field} ")"
void LOAD(Compiler& c) {
  OWNLINE(c, c.out.CURCH, BEGINBLOCK);
  RECID(c);
  EXPECT(c, '(');
  c.src.K++;
  const DbTable& t = c.decl.DBTABS[DBTABLE(c)];
  std::vector<std::string> names = DBFIELDS(c);
  SENDLITERAL(c, c.out.CURCH, Start::OWNLINE, LOADOPEN, FILLIN(DBF, {{'*', t.FILE}}));
  std::vector<const DbField*> fields;
  for (const std::string& n : names) {
    fields.push_back(&FIELD(c, t, n));
    OWNLINE(
        c, c.out.CURCH,
        FILLIN(GETMEM, {{'*', ARRAYOF(t, *fields.back())}, {'/', ARRAYTYPE(t, *fields.back())}}));
  }
  OWNLINE(c, c.out.CURCH, FILLIN(RECLEN, {{'/', std::to_string(t.RECLEN)}}));
  std::string idx = LOOPS(c, t);
  OWNLINE(c, c.out.CURCH, BEGINBLOCK);
  OWNLINE(c, c.out.CURCH, FILLIN(READREC, {{'*', t.NOM}}));
  for (const DbField* f : fields) {
    std::string raw = FILLIN(RAWFIELD, {{'*', t.NOM}, {'/', f->NOM}});
    std::string cell = FILLIN(CELL, {{'*', ARRAYOF(t, *f)}, {'/', idx}});
    if (f->TIPO == "STRING"sv) {
      OWNLINE(c, c.out.CURCH, FILLIN(TAKESTRING, {{'*', cell}, {'/', raw}}));
    } else if (f->TIPO == "BOOLEAN"sv) {
      OWNLINE(c, c.out.CURCH, FILLIN(TAKEBOOL[0], {{'*', cell}}));
      SEND(c, FILLIN(TAKEBOOL[1], {{'/', raw}}), false);
    } else {
      OWNLINE(c, c.out.CURCH, FILLIN(TAKENUMBER, {{'*', cell}, {'/', raw}}));
    }
  }
  OWNLINE(c, c.out.CURCH, ENDSEMI);
  OWNLINE(c, c.out.CURCH, LOADEND);
}

// UNLOAD "(" table "," field {"," field} ")"
void UNLOAD(Compiler& c) {
  Source& s = c.src;
  OWNLINE(c, c.out.CURCH, BEGINBLOCK);
  RECID(c);
  EXPECT(c, '(');
  s.K++;
  const DbTable& t = c.decl.DBTABS[DBTABLE(c)];
  do {
    RECID(c);
    const DbField& f = FIELD(c, t, s.IDENT);
    OWNLINE(c, c.out.CURCH, FILLIN(FREEMEM, {{'*', ARRAYOF(t, f)}, {'/', ARRAYTYPE(t, f)}}));
    RECID(c);
    MUSTBEONE(c, ",)", ") or , expected");
    s.K++;
  } while (s.CH != ')');
}

bool SAMELAYOUT(const DbTable& a, const DbTable& b) {
  if (a.RECLEN != b.RECLEN || a.FIELDS.size() != b.FIELDS.size()) return false;
  for (size_t i = 0; i < a.FIELDS.size(); ++i)
    if (a.FIELDS[i].NOM != b.FIELDS[i].NOM || a.FIELDS[i].WIDTH != b.FIELDS[i].WIDTH)
      return false;
  return true;
}

// DBUPDATE "(" source "," target "," field {"," field} ")": the source's
// records with the listed fields replaced by the arrays' values are
// written to the target file, which has the source's layout.
void DBUPDATE(Compiler& c) {
  OWNLINE(c, c.out.CURCH, BEGINBLOCK);
  RECID(c);
  EXPECT(c, '(');
  c.src.K++;
  const DbTable& t = c.decl.DBTABS[DBTABLE(c)];
  const DbTable& u = c.decl.DBTABS[DBTABLE(c)];
  if (!SAMELAYOUT(t, u)) ERROR(c, "invalid database table");
  std::vector<std::string> names = DBFIELDS(c);
  SENDLITERAL(c, c.out.CURCH, Start::OWNLINE, UPDOPEN[0], FILLIN(DBF, {{'*', t.FILE}}));
  SENDLITERAL(c, c.out.CURCH, Start::OWNLINE, UPDOPEN[1], FILLIN(DBF, {{'*', u.FILE}}));
  OWNLINE(c, c.out.CURCH, COPYSTDB);
  std::string idx = LOOPS(c, t);
  std::string len = std::to_string(t.RECLEN);
  OWNLINE(c, c.out.CURCH, BEGINBLOCK);
  OWNLINE(c, c.out.CURCH, FILLIN(READLEN, {{'*', t.NOM}, {'/', len}}));
  for (const std::string& n : names) {
    const DbField& f = FIELD(c, t, n);
    std::string cell = FILLIN(CELL, {{'*', ARRAYOF(t, f)}, {'/', idx}});
    std::string w = std::to_string(f.WIDTH);
    if (f.TIPO == "STRING"sv)
      OWNLINE(c, c.out.CURCH, FILLIN(SHOWSTRING, {{'*', cell}}));
    else if (f.TIPO == "REAL"sv)
      OWNLINE(c, c.out.CURCH,
              FILLIN(SHOWREAL, {{'*', cell}, {'/', w}, {'#', std::to_string(f.DEC)}}));
    else if (f.TIPO == "INTEGER"sv)
      OWNLINE(c, c.out.CURCH, FILLIN(SHOWINTEGER, {{'*', cell}, {'/', w}}));
    else
      OWNLINE(c, c.out.CURCH, FILLIN(SHOWBOOLEAN, {{'*', cell}}));
    // The text fills the field's own width, blank padded.
    std::string raw = FILLIN(RAWCHAR, {{'*', t.NOM}, {'/', f.NOM}});
    OWNLINE(c, c.out.CURCH, FILLIN(PADFIELD[0], {{'/', w}}));
    SEND(c, FILLIN(PADFIELD[1], {{'*', raw}}), false);
  }
  OWNLINE(c, c.out.CURCH, FILLIN(WRITEREC, {{'*', t.NOM}, {'/', len}}));
  OWNLINE(c, c.out.CURCH, ENDSEMI);
  OWNLINE(c, c.out.CURCH, UPDEND);
}

// ---- the declarations in pru

std::string PASCALTYPE(const DbField& f) {
  if (f.TIPO == "REAL"sv) return PASCALTYPES[0];
  if (f.TIPO == "INTEGER"sv) return PASCALTYPES[1];
  if (f.TIPO == "BOOLEAN"sv) return PASCALTYPES[2];
  return FILLIN(PASCALTYPES[3], {{'/', std::to_string(f.WIDTH)}});
}

std::string DIMS(Compiler& c, const DbTable& t) {
  auto upper = [](long long n) { return std::to_string(std::max<long long>(1, n)); };
  if (t.M == 1) return FILLIN(DIM[0], {{'/', upper(t.NREC)}});
  std::string d;
  for (int k : t.KEYTABS) d += FILLIN(DIM[!d.empty()], {{'/', upper(c.decl.DBTABS[k].NREC)}});
  return d;
}

void TABLEDECL(Compiler& c, const DbTable& t) {
  OWNLINE(c, CH_PRU, FILLIN(RECTYPE[0], {{'*', t.NOM}}));
  for (const DbField& f : t.FIELDS)
    if (!f.KEY) ADDPIECE(c, CH_PRU, FILLIN(RECTYPE[1], {{'/', f.NOM}, {'#', ARRAYTYPE(t, f)}}));
  ADDPIECE(c, CH_PRU, RECTYPE[2]);
  OWNLINE(c, CH_PRU, FILLIN(RAWTYPE[0], {{'*', t.NOM}}));
  for (const DbField& f : t.FIELDS)
    ADDPIECE(c, CH_PRU, FILLIN(RAWTYPE[1], {{'/', f.NOM}, {'#', std::to_string(f.WIDTH)}}));
  ADDPIECE(c, CH_PRU, RAWTYPE[2]);
  OWNLINE(c, CH_PRU, FILLIN(RAWVAR, {{'*', t.NOM}}));
  if (!t.FIRST || t.M != 1) return;
  ADDPIECE(c, CH_PRU, FILLIN(KEYBUFFER, {{'*', t.NOM}}));
  if (t.KEYVALS.empty()) return;
  OWNLINE(c, CH_PRU, FILLIN(KEYNAMES, {{'*', t.NOM}, {'/', std::to_string(t.KEYVALS.size())}}));
  for (size_t i = 0; i < t.KEYVALS.size(); ++i)
    for (const std::string& piece : LITERALPIECES(KEYNAME[i + 1 == t.KEYVALS.size()], t.KEYVALS[i]))
      ADDPIECE(c, CH_PRU, piece);
}

}  // namespace

// DBTABLES group {"," group} ";"
void PRODBT(Compiler& c) {
  Source& s = c.src;
  CLASSSTART(c, true);
  s.DBDECL = true;
  RECID(c);
  EXPECT(c, '(');
  for (;;) {
    GROUP(c);
    RECID(c);
    MUSTBEONE(c, ";,", ", or ;expected");
    if (s.CH == ';') break;
    s.K++;
    RECID(c);
    EXPECT(c, '(');
  }
  s.K++;
  s.DBDECL = false;
  c.out.TRMODE = 1;
  c.out.TRANSMIT = true;
  c.out.TRSTART = s.K;
  RECID(c);
  BUCLADE(c);
  if (!c.decl.CLASSFOUND) ERROR(c, "declaration or end. expected");
}

void PRDBDECL(Compiler& c) {
  const Decl& d = c.decl;
  if (d.DBTABS.empty()) return;
  if (d.DBMAXREC > 0) OWNLINE(c, CH_PRU, CONSTHEAD);
  for (long long k = 1; k <= d.DBMAXREC; ++k)
    ADDPIECE(c, CH_PRU, FILLIN(RECNUMBER, {{'/', std::to_string(k)}}));
  for (const DbTable& t : d.DBTABS)
    OWNLINE(c, CH_PRU,
            FILLIN(COUNTS, {{'*', t.NOM},
                            {'/', std::to_string(t.NREC)},
                            {'#', std::to_string(t.FIELDS.size())}}));
  for (const DbTable& t : d.DBTABS)
    for (const DbField& f : t.FIELDS)
      if (!f.KEY)
        OWNLINE(
            c, CH_PRU,
            FILLIN(ARRAYDECL, {{'*', ARRAYTYPE(t, f)}, {'/', DIMS(c, t)}, {'#', PASCALTYPE(f)}}));
  for (const DbTable& t : d.DBTABS) TABLEDECL(c, t);
  for (const DbTable& t : d.DBTABS) OWNLINE(c, CH_PRU, FILLIN(TABLEVAR, {{'*', t.NOM}}));
}

bool ISDBTABLE(const Compiler& c, const std::string& name) {
  return FINDTABLE(c, name) >= 0;
}

void PRLOAD(Compiler& c) { LOAD(c); }
void PRUNLOAD(Compiler& c) { UNLOAD(c); }
void PRDBUPDATE(Compiler& c) { DBUPDATE(c); }
