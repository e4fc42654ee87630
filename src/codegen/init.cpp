// INIT pass: translates the INIT section into _init (MODIN1, channel 6),
// writes what only INIT completes (clrstat and _pexp on MODPRO, the work
// variables, frequency-table sizes, random-variate sets and the parameter
// file interface on PRU.PAS), runs the node procedure pass and finally
// moves _init into MODPRO. Reads the section lines, the experiment list
// and the flags the statements set (ACTSEEN, HASEXPER, WINWIDTH/HEIGHT);
// called by the driver after the declarations.
#include <algorithm>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "codegen/codegen.h"
#include "ground/literals.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

constexpr const char* INITHEAD[] = {
    "procedure _init; var _i,_j:integer; ", "begin ", "gettime(_hoi,_mii,_sei,_dei); ",
    "for _j:=1 to * do begin ", "_l^[_j]:=0;_fl[_j]:=nil;_ll[_j]:=nil end;",
    "CreaGraficos;", "_seeds; ", " _bt:=false; "};  // the streams of this replication
constexpr const char* REPCOUNT = "if _rep then nrep:=nrep+1;";
constexpr const char* WINDOWSIZE = "_windowsize:=true;";
constexpr const char* NOEXPER =
    "procedure _pexp; begin rtdlg._WarningDlg('No experiments defined') end;";
constexpr const char* FREQSIZES[] = {"const _itmx=*;_n_tab=#;",
                                     "var _fr:array[1..20,1..50] of integer;",
                                     "_df:array[1..20,1..3] of real;"};

// The parameter file interface of FACTORS and RESPONSES.
constexpr const char* PARAMDECL[] = {
    "var _arf:file;_disf,_disr:array[1..10] of integer;",
    "type _s8=array[1..10] of string[8]; ",
    "_ar1=record nf:integer;nof:_s8;ni:array[1..10] of integer;r:string[15] end;",
    "_ar2=record nr:integer;nor:_s8;r:string[35]; end;",
    "_ar3=record cni:array[1..10] of real;r:string[67] end;",
    "_ar4=record res:array[1..10] of real;r:string[67] end;",
    "_ar6=record nft:integer;noft:_s8; r:string[35] end;",
    "_ar7=record nrt:integer;nort:_s8; r:string[35] end;",
    "_ar9=record al:array[1..10] of longint; r:string[87] end;",
    "var _a1:_ar1;_a2:_ar2;_a3:_ar3;_a4:_ar4;_a6:_ar6;_a7:_ar7;_a9:_ar9;"};
constexpr const char* PARAMOPEN = "if paramcount>=1 then begin assign(_arf,'*');";
constexpr const char* PARAMNAMES = " if paramstr(1)='I' then begin _a6.nft:=/;_a7.nrt:=%;";
constexpr const char* FACTORNAME = "_a6.noft[/]:='*';";
constexpr const char* RESPONSENAME = "_a7.nort[/]:='*';";
// The runtime (rtparam) opens the file, creating it for I, and stops the
// program on counts or names it does not know instead of searching past
// the name tables.
constexpr const char* PARAMIO[] = {
    "_pfopen(_arf,true);seek(_arf,5);blockwrite(_arf,_a6,1);", "blockwrite(_arf,_a7,1);",
    "for _i:=1 to 10 do _a9.al[_i]:=rn[_i];seek(_arf,12);blockwrite(_arf,_a9,1);",
    "closeFile(_arf); halt end;", "if paramstr(1)='D' then begin _pfopen(_arf,false);seek(_arf,5);",
    "blockread(_arf,_a6,1);blockread(_arf,_a7,1);seek(_arf,0);",
    "blockread(_arf,_a1,1);blockread(_arf,_a2,1);blockread(_arf,_a3,1);",
    "_pfcounts(_a1.nf,_a2.nr,_a6.nft,_a7.nrt);",
    "for _r:=1 to _a1.nf do begin _i:=1;",
    "while (_i<=_a6.nft) and (_a6.noft[_i]<>_a1.nof[_r]) do _i:=_i+1;",
    "_pffound(_i,_a6.nft,_a1.nof[_r],'factor'); _disf[_r]:=_i end;",
    "for _r:=1 to _a2.nr do begin _i:=1;",
    "while (_i<=_a7.nrt) and (_a7.nort[_i]<>_a2.nor[_r]) do _i:=_i+1;",
    "_pffound(_i,_a7.nrt,_a2.nor[_r],'response'); _disr[_r]:=_i end;",
    "for _i:=1 to _a1.nf do case _disf[_i] of "};
constexpr const char* FACTORCASE = "/:*:=_a3.cni[_i];";
constexpr const char* PARAMEND[] = {
    "end;", "seek(_arf,12);blockread(_arf,_a9,1);for _i:=1 to 10 do rn[_i]:=_a9.al[_i]",
    "end end;"};

// The experiments. _tve names the entries; _pexpset sets each entry a
// loaded data file names (the runtime unit rtexp holds the file's entries
// and converts nothing itself: Val does, into the variable's own type);
// _pexp asks for the file, checks it by setting its values at once, and
// lists the variables; _init sets them again after INIT's own values.
// '*' an entry number or a count, '/' a name, '%' an element count, '@' a
// table number, '#' and '&' the dereference of a function's x and y.
constexpr const char* TVEHEAD = "const _tve:array[1..*] of string[30]=";
constexpr const char* PEXPSET[] = {
    "procedure _pexpset; var _i,_c:integer;_nom:string;",
    "begin _exrewind; while _exnext(_nom) do begin _i:=1;",
    "while (_i<=*) and (_nom<>_tve[_i]) do _i:=_i+1;",
    "if _i>* then _exbad('no experiment variable of this model') else ", "case _i of "};
constexpr const char* PEXPSETEND = "end end end;";
constexpr const char* SETV = "*:if _exn(1) then begin Val(_exs(1),/,_c);_exok(_c,1) end;";
constexpr const char* SETN[] = {"*:if _exn(1) then begin Val(_exs(1),m_/,_c);",
                                "if _exok(_c,1) then begin f_/:=m_/;u_/:=0.0 end end;"};
constexpr const char* SETA[] = {"*:if _exn(%) then for _i:=1 to % do begin ",
                                "Val(_exs(_i),/^[_i],_c);_exok(_c,_i) end;"};
constexpr const char* SETM[] = {"*:if _exn(%) then for _i:=1 to % do begin ",
                                "Val(_exs(_i),m_/[_i],_c);",
                                "if _exok(_c,_i) then begin f_/[_i]:=m_/[_i];u_/[_i]:=0.0 end end;"};
constexpr const char* SETT[] = {"*:if _exn(3) then for _i:=1 to 3 do begin ",
                                "Val(_exs(_i),_df[@,_i],_c);_exok(_c,_i) end;"};
constexpr const char* SETF[] = {"*:if _expairs(High(_x/#)) then begin ",
                                "_n/:=_excount div 2; for _i:=1 to _n/ do begin ", "end;", "end;"};
constexpr const char* SETFNEW[] = {"if _x/=nil then new(_x/);", "if _xa/=nil then new(_xa/);",
                                   "if _y/=nil then new(_y/);"};
constexpr const char* SETFX[] = {"Val(_exs(2*_i-1),_x/#[_i],_c);_exok(_c,2*_i-1);",
                                 "_x/#[_i]:=_exs(2*_i-1);", "_xa/^[_i]:=_exs(2*_i-1);"};
constexpr const char* SETFY[] = {"Val(_exs(2*_i),_y/&[_i],_c);_exok(_c,2*_i);",
                                 "_y/&[_i]:=_exs(2*_i);"};
constexpr const char* SETFSPLINE = "if not _extrial then _spline(_x/,_y/,_n/,*);";
constexpr const char* SETNONE = "*:_exbad('cannot be set by an experiment');";
constexpr const char* PEXPHEAD = "procedure _pexp; var _ch:char;_nomar:string;";
constexpr const char* LISTVARHEAD[] = {"procedure _listvar; var _i:integer;", "begin "};
constexpr const char* LISTV = "writeln(_ars,'/=',/);";
constexpr const char* LISTA = "for _i:=1 to . do writeln(_ars,'/[',_i,']=',/^[_i]);";
constexpr const char* LISTM = "for _i:=1 to . do writeln(_ars,'/[',_i,']=',m_/[_i]);";
constexpr const char* LISTN = "writeln(_ars,'/=',m_/);";
constexpr const char* LISTT = "writeln(_ars,'Table * ',_df[/,1],' ',_df[/,2],' ',_df[/,3]);";
constexpr const char* LISTF[] = {"writeln('FUNCTION ','*');",
                                 "for _i:=1 to _n/ do writeln(_ars,'X',_i,'=',",
                                 "_x/#[_i],' Y',_i,'=',_y/&[_i]);"};
constexpr const char* PEXPREAD[] = {
    "begin repeat   _listvar;",
    "rtdlg._WarningDlg('Data File must begin with a title, Finish with END');", " ",
    "_nomar:=InputBox('File Name:','Text','DATA1.dat');",
    "if _exload(_nomar) then begin _extrial:=true; _pexpset; _extrial:=false end;",
    "if _exfailed then _exreport else _exon:=true;", "_listvar;",
    "_zs:=InputBox('Repeat/Go','R/G','G');_ch:=upcase(_zs[1]);until _ch<>'R';", "end;"};

std::string NUM(long long n) { return std::to_string(n); }

// A global name's entry, or null; the scanner is not touched.
const NameNode* ENTRY(const Compiler& c, const std::string& name) {
  return SEARCHTREE(c.names.ROOT, name, [](const NameNode*) { return true; });
}

// Element count of an experiment entry: an array's last dimension, a
// multiple node's copies.
int ELEMENTS(const Compiler& c, const ExpItem& e) {
  if (e.KIND == 'M') {
    auto n = c.model.NODENUM.find(e.NOM);
    return n == c.model.NODENUM.end() ? 1 : c.model.NodeTable[n->second].MULT;
  }
  const NameNode* x = ENTRY(c, e.NOM);
  return x ? std::max(1, x->COUNT1) : 1;
}

// The INIT section: statements up to the DECL line, into _init.
void INITSTATEMENTS(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  while (s.LB < t.LBF) {
    PRINS(c);
    if (s.LB >= t.LBF) break;
    PEEK(c);
  }
  s.K = s.KSTART;  // on the word that ended the section
  c.out.TRANSMIT = false;
  t.INITMODE = false;
}

void STARTINIT(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Stmt& t = c.stmt;
  const Model& m = c.model;
  s.DECLCOPY = false;
  s.PL = m.SectionLine[2] - 1;
  s.LB = m.SectionLine[2];
  s.K = 1;
  o.TRANSMIT = true;
  o.TRMODE = 2;
  o.CURCH = CH_MODIN1;
  t.INITMODE = true;
  t.CURNODE = 0;
  t.HASLABELS = false;
  t.LBF = m.SectionLine[3];
  c.names.SCOPE = "MAIN";
  for (int i = 1; i <= m.NodeCount; ++i)
    if (m.NodeTable[i].TIPO == 'I') t.NUMEOFFSET = i;
  RECID(c);
  o.TRSTART = s.K;
}

void INITHEADER(Compiler& c) {
  const std::string lists = NUM(std::max(1, c.model.NLIST - 1));
  for (const char* l : INITHEAD) NEWPIECE(c, CH_MODIN1, FILLIN(l, {{'*', lists}}));
  NEWPIECE(c, CH_MODIN1, TOLERANCES);
  NEWPIECE(c, CH_MODIN1, REPCOUNT);
}

// var _k1,...,_k20:integer;
void WORKVARIABLES(Compiler& c) {
  NEWPIECE(c, CH_PRU, "var");
  for (int i = 1; i <= 20; ++i) ADDPIECE(c, CH_PRU, (i == 1 ? " _k" : ",_k") + NUM(i));
  ADDPIECE(c, CH_PRU, ":integer;");
  const std::vector<AuxVar>& aux = c.gen.AUXVARS;
  if (aux.empty()) return;
  NEWPIECE(c, CH_PRU, "var ");
  for (const AuxVar& v : aux) ADDPIECE(c, CH_PRU, v.NOM + ":" + v.TIPO + "; ");
}

void FREQUENCYSIZES(Compiler& c) {
  const std::string itmx = NUM(std::max(1, c.gen.ITMX));
  const std::string ntab = NUM(std::max<size_t>(1, c.expr.TABLES.size()));
  NEWPIECE(c, CH_PRU, FILLIN(FREQSIZES[0], {{'*', itmx}, {'#', ntab}}));
  NEWPIECE(c, CH_PRU, FREQSIZES[1]);
  NEWPIECE(c, CH_PRU, FREQSIZES[2]);
}

void RANDOMSETS(Compiler& c) {
  for (const RandSet& r : c.gen.RANDSETS) DeclareRandomSet(c, r);
  c.gen.RANDSETSDONE = true;
}

// A name as the parameter file holds it: 8 characters, blank-padded.
std::string PAD8(const std::string& name) {
  return name.size() >= 8 ? name : name + std::string(8 - name.size(), ' ');
}

// The parameter file: the source path less its last three characters,
// then "D01".
std::string PARAMFILE(const std::string& srcpath) {
  return srcpath.substr(0, srcpath.size() >= 3 ? srcpath.size() - 3 : 0) + "D01";
}

void PARAMETERFILE(Compiler& c) {
  const std::vector<std::string>& factors = c.decl.FACTORLIST;
  const std::vector<std::string>& responses = c.prog.RESPONSES;
  for (const char* l : PARAMDECL) NEWPIECE(c, CH_PRU, l);
  SENDLITERAL(c, CH_MODIN1, Start::NEWLINE, PARAMOPEN, PARAMFILE(c.drv.SRCPATH));
  NEWPIECE(c, CH_MODIN1, FILLIN(PARAMNAMES, {{'/', NUM(factors.size())},
                                          {'%', NUM(responses.size())}}));
  for (size_t k = 0; k < factors.size(); ++k)
    ADDPIECE(c, CH_MODIN1, FILLIN(FACTORNAME, {{'/', NUM(k + 1)}, {'*', PAD8(factors[k])}}));
  if (responses.empty()) ERROR(c, "RESPONSES not declared");
  for (size_t k = 0; k < responses.size(); ++k)
    ADDPIECE(c, CH_MODIN1, FILLIN(RESPONSENAME, {{'/', NUM(k + 1)}, {'*', PAD8(responses[k])}}));
  for (const char* l : PARAMIO) NEWPIECE(c, CH_MODIN1, l);
  for (size_t k = 0; k < factors.size(); ++k)
    ADDPIECE(c, CH_MODIN1, FILLIN(FACTORCASE, {{'/', NUM(k + 1)}, {'*', factors[k]}}));
  for (const char* l : PARAMEND) NEWPIECE(c, CH_MODIN1, l);
}

// The _NUME counters of the I nodes and of CREATE, each numbered by its
// node position or after the last I node.
std::vector<int> COUNTERS(const Compiler& c) {
  std::vector<int> k;
  for (int i = 1; i <= c.model.NodeCount; ++i)
    if (c.model.NodeTable[i].TIPO == 'I') k.push_back(i);
  for (int j = 1; j <= c.stmt.CREATECOUNT; ++j) k.push_back(c.stmt.NUMEOFFSET + j);
  return k;
}

void NODEPROCEDURES(Compiler& c) {
  GenerateNodes(c);
  std::vector<int> counters = COUNTERS(c);
  if (!counters.empty()) DeclareMessageCounters(c);
  for (int k : counters) ADDPIECE(c, CH_MODIN1, " _NUME" + NUM(k) + ":=0; ");
  NEWPIECE(c, CH_MODIN1, "end;");
}

// _init joins the generated procedures.
void CLOSEINIT(Compiler& c) {
  FLUSHOUT(c, CH_MODIN1);
  CLOSECH(c, CH_MODIN1);
  FLUSHOUT(c, CH_MODINI);
  CLOSECH(c, CH_MODINI);
  FLUSHOUT(c, CH_MODPRO);
  TRACELN(c, "PASAR INIT. USUARIO  A PROC. INIT");
  COPYCH(c, CH_MODIN1, CH_MODPRO);
}

// The point arrays of a valued function are pointers for REAL and plain
// arrays for every other type: '#' dereferences _x, '&' _y.
std::string POINTS(const Compiler& c, const char* t, const std::string& n) {
  std::string_view x = "^", y = "^";
  for (const ValuedFunction& f : c.kw.FUNV)
    if (f.NOM == n) {
      if (f.ARGTYPE != "REAL"sv) x = "";
      if (f.VALTYPE != "REAL"sv) y = "";
    }
  return FILLIN(t, {{'/', n}, {'#', x}, {'&', y}});
}

void LISTVAR(Compiler& c, const ExpItem& e) {
  const std::string& n = e.NOM;
  const std::string count = NUM(ELEMENTS(c, e));
  switch (e.KIND) {
    case 'V': ADDPIECE(c, CH_MODPRO, FILLIN(LISTV, {{'/', n}})); break;
    case 'A': ADDPIECE(c, CH_MODPRO, FILLIN(LISTA, {{'/', n}, {'.', count}})); break;
    case 'M': ADDPIECE(c, CH_MODPRO, FILLIN(LISTM, {{'/', n}, {'.', count}})); break;
    case 'N': ADDPIECE(c, CH_MODPRO, FILLIN(LISTN, {{'/', n}})); break;
    case 'T': ADDPIECE(c, CH_MODPRO, FILLIN(LISTT, {{'*', n}, {'/', e.TABPOS}})); break;
    case 'F':
      NEWPIECE(c, CH_MODPRO, FILLIN(LISTF[0], {{'*', n}}));
      NEWPIECE(c, CH_MODPRO, FILLIN(LISTF[1], {{'/', n}}));
      ADDPIECE(c, CH_MODPRO, POINTS(c, LISTF[2], n));
      break;
    default: break;
  }
}

// A type whose text Val converts; any other is taken as text.
bool NUMERICTYPE(const std::string& t) {
  static constexpr const char* NUMERIC[] = {
      "REAL",    "SINGLE",   "DOUBLE",   "EXTENDED", "COMP",  "CURRENCY", "INTEGER",
      "LONGINT", "SHORTINT", "SMALLINT", "BYTE",     "WORD",  "CARDINAL", "LONGWORD",
      "INT64",   "QWORD"};
  for (const char* n : NUMERIC)
    if (t == n) return true;
  return false;
}

bool TEXTTYPE(const std::string& t) { return t.rfind("STRING", 0) == 0; }

// A function table entry: its points, as many as the file gives up to the
// vectors' size, the labels of a non-REAL argument, and a spline's
// coefficients again (only for a run: the first check may come before
// INIT made the coefficient vectors).
void SETFUNCTION(Compiler& c, const ExpItem& e, const std::string& ks) {
  const std::string& n = e.NOM;
  const ValuedFunction* f = nullptr;
  for (const ValuedFunction& g : c.kw.FUNV)
    if (g.NOM == n) f = &g;
  if (!f || (!NUMERICTYPE(f->ARGTYPE) && !TEXTTYPE(f->ARGTYPE)) ||
      (!NUMERICTYPE(f->VALTYPE) && !TEXTTYPE(f->VALTYPE))) {
    NEWPIECE(c, CH_MODPRO, FILLIN(SETNONE, {{'*', ks}}));
    return;
  }
  const bool realx = f->ARGTYPE == "REAL"sv, realy = f->VALTYPE == "REAL"sv;
  // '*' multiplies in the loop: only the head takes the entry number
  auto fill = [&](const char* t) {
    return FILLIN(t, {{'/', n}, {'#', realx ? "^" : ""}, {'&', realy ? "^" : ""}});
  };
  NEWPIECE(c, CH_MODPRO, FILLIN(fill(SETF[0]), {{'*', ks}}));
  ADDPIECE(c, CH_MODPRO, fill(SETFNEW[realx ? 0 : 1]));
  if (realy) ADDPIECE(c, CH_MODPRO, fill(SETFNEW[2]));
  ADDPIECE(c, CH_MODPRO, fill(SETF[1]));
  ADDPIECE(c, CH_MODPRO, fill(SETFX[NUMERICTYPE(f->ARGTYPE) ? 0 : 1]));
  if (!realx) ADDPIECE(c, CH_MODPRO, fill(SETFX[2]));
  ADDPIECE(c, CH_MODPRO, fill(SETFY[NUMERICTYPE(f->VALTYPE) ? 0 : 1]));
  ADDPIECE(c, CH_MODPRO, SETF[2]);
  if (f->CLASS == FC_SPLINE)
    ADDPIECE(c, CH_MODPRO, FILLIN(SETFSPLINE, {{'/', n}, {'*', NUM(f->SPLINENO)}}));
  ADDPIECE(c, CH_MODPRO, SETF[3]);
}

void SETENTRY(Compiler& c, const ExpItem& e, int k) {
  const std::string ks = NUM(k);
  auto fill = [&](const char* t) {
    return FILLIN(t, {{'*', ks}, {'/', e.NOM}, {'%', NUM(ELEMENTS(c, e))}, {'@', e.TABPOS}});
  };
  switch (e.KIND) {
    case 'V': NEWPIECE(c, CH_MODPRO, fill(SETV)); break;
    case 'N':
      NEWPIECE(c, CH_MODPRO, fill(SETN[0]));
      ADDPIECE(c, CH_MODPRO, fill(SETN[1]));
      break;
    case 'A':
      NEWPIECE(c, CH_MODPRO, fill(SETA[0]));
      ADDPIECE(c, CH_MODPRO, fill(SETA[1]));
      break;
    case 'M':
      NEWPIECE(c, CH_MODPRO, fill(SETM[0]));
      for (int i = 1; i <= 2; ++i) ADDPIECE(c, CH_MODPRO, fill(SETM[i]));
      break;
    case 'T':
      NEWPIECE(c, CH_MODPRO, fill(SETT[0]));
      ADDPIECE(c, CH_MODPRO, fill(SETT[1]));
      break;
    case 'F': SETFUNCTION(c, e, ks); break;
    default: NEWPIECE(c, CH_MODPRO, fill(SETNONE)); break;
  }
}

}  // namespace

void TranslateInit(Compiler& c) {
  TRACELN(c, "PROCESAR INICIALIZACIONES DEL USUARIO **************** ");
  STARTINIT(c);
  WriteStatisticsProcedures(c);
  INITHEADER(c);
  WriteFileHeadings(c);
  INITSTATEMENTS(c);
  if (!c.stmt.ACTSEEN) ERROR(c, "no ACT procedure in INIT");
  if (c.stmt.WINWIDTH && c.stmt.WINHEIGHT) NEWPIECE(c, CH_MODIN1, WINDOWSIZE);
  TRACELN(c, "FIN PROCESADO INIT USUARIO**********************");
  PRFUNVEND(c);
  GenerateClrstat(c);
  if (c.stmt.HASEXPER)
    GenerateExperimentProcedure(c);
  else
    NEWPIECE(c, CH_MODPRO, NOEXPER);
  WORKVARIABLES(c);
  FREQUENCYSIZES(c);
  RANDOMSETS(c);
  if (c.prog.FACTORS) PARAMETERFILE(c);
  NODEPROCEDURES(c);
  CLOSEINIT(c);
  WriteOrderConstant(c);
}

void GenerateExperimentProcedure(Compiler& c) {
  const std::vector<ExpItem>& list = c.stmt.EXPLIST;
  const std::string count = NUM(list.size());
  TRACELN(c, "ENTRADA A GELVEX **************************");
  NEWPIECE(c, CH_MODPRO, FILLIN(TVEHEAD, {{'*', count}}));
  for (size_t i = 0; i < list.size(); ++i)
    (i == 0 ? NEWPIECE : ADDPIECE)(c, CH_MODPRO, (i == 0 ? "('" : ",'") + list[i].NOM + "'");
  ADDPIECE(c, CH_MODPRO, ");");
  for (const char* l : PEXPSET) NEWPIECE(c, CH_MODPRO, FILLIN(l, {{'*', count}}));
  for (size_t k = 0; k < list.size(); ++k) SETENTRY(c, list[k], static_cast<int>(k + 1));
  NEWPIECE(c, CH_MODPRO, PEXPSETEND);
  NEWPIECE(c, CH_MODPRO, PEXPHEAD);
  for (const char* l : LISTVARHEAD) NEWPIECE(c, CH_MODPRO, l);
  for (const ExpItem& e : list) LISTVAR(c, e);
  NEWPIECE(c, CH_MODPRO, "end;");
  for (const char* l : PEXPREAD) NEWPIECE(c, CH_MODPRO, l);
}
