// Valued functions: functions given by tables of points (GFUNCTIONS).
// PRFUNVEXP translates a call in an expression into the runtime evaluation
// function of the class; PRFUNVINIT reads a point list "F := x, y / ... ;"
// of INIT into constant arrays (channel 3) and their copy into the point
// vectors (channel 6, _init); PRFUNVDECL declares the vectors and the
// evaluation functions the runtime lacks (DISC, FREQ, a STAIR of values
// other than REAL);
// PRFUNVEND checks at the end of INIT that every function got its points.
// Reads the valued-function list (Keywords::FUNV) filled by GFUNCTIONS.
//
// A REAL argument or value lives in a runtime vector (_tpx, _tpy, reached
// through ^); any other type in an array of its own type "_x<type>" or
// "_y<type>". Declarations, INIT copies and the generated functions follow
// the same rule, so calls and definitions agree.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/keywords.h"
#include "expr/expr.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; '*' a function's name or type, the others
// filled in as said.
// The vectors of a type other than REAL, and REAL's runtime vectors; an
// element of each.
constexpr const char* XVECTOR[] = {"_x*", "_tpx"};
constexpr const char* YVECTOR[] = {"_y*", "_tpy"};
constexpr const char* ELEMENT[] = {"[", "^["};
constexpr const char* QUOTE = "'*'";
// A constant array: '/' its length, '#' its type.
constexpr const char* CONSTARR[] = {"*:array[1../] of #=(", ",", ");", " "};
constexpr const char* CONSTHEAD = "const ";
constexpr const char* XPOINTS = "_cx*";
constexpr const char* YPOINTS = "_cy*";
constexpr const char* XNAMES = "_cax*";
constexpr const char* NAMETYPE = "string[12]";
// The copy of the points in _init ('/' the count, '#' an element's
// opening), by whether the argument is REAL.
constexpr const char* SPLINENEW = " new(_spb); new(_spc); new(_spd); ";
constexpr const char* NEWX[] = {"new(_xa*);", "new(_x*);"};
constexpr const char* NEWY = "new(_y*);";
constexpr const char* COUNT = "_n*:=/; ";
constexpr const char* COPYLOOP[] = {" for _i:=1 to _n* do begin ", "for _i:=1 to _n* do begin "};
constexpr const char* COPYX[] = {"_x*#_i]:=", "_cx*[_i];"};
constexpr const char* COPYY[] = {"_y*#_i]:=", "_cy*[_i]; "};
constexpr const char* COPYNAMES = " _xa*^[_i]:=_cax*[_i];";
constexpr const char* ENDSEMI = "end;";
constexpr const char* SPLINE[] = {" _spline(_x*,", "_y*,_n*,/);"};
// The generated evaluation functions: '*' the name, a type, an element.
constexpr const char* FNAME = "_f*";
constexpr const char* FHEAD = "function *(";
constexpr const char* FRESULT = "*;";
constexpr const char* FASSIGN = "*:=";
constexpr const char* FEND = "end;";
constexpr const char* XAT = "ax*j]";
constexpr const char* DISCHEAD[] = {"x:*;", "var ax:*;", "var ay:*; n:integer):"};
constexpr const char* DISCBODY[] = {"var j:integer; begin j:=1; ",
                                    "while (j<=n) and (x<>*) do j:=j+1; ",
                                    "if(j>n) then _error('argument out of range');", "ay*j]; "};
constexpr const char* STAIRHEAD[] = {"x:REAL;var ax:_tpx;", "var ay:*; n:integer):"};
constexpr const char* STAIRBODY[] = {"var j:integer; begin j:=1; ",
                                     "while (j<n) and (ax^[j+1]<=x) do j:=j+1; ", "ay[j]; "};
constexpr const char* FREQHEAD[] = {"var ax:*;", "var ay:*;n,rn:integer):"};
constexpr const char* FREQBODY[] = {"var j:integer; r:real; begin r:=ay^[n]*UNIF(0,1,rn);j:=1;",
                                    "while (j<n) and (r>ay^[j]) do j:=j+1;", "* "};
// A call: '/' the spline's number or the stream.
constexpr const char* CALL = "_f*(";
constexpr const char* CALLVECTORS = ",_x*,_y*,_n* ";
constexpr const char* SPLINEARG = ",/";
constexpr const char* CLOSE = ")";
constexpr const char* FREQVECTORS = "_x*,_y*,_n*,";
constexpr const char* STREAM = "/)";
constexpr const char* FIRSTSTREAM = "1)";
// The declarations in PRU.PAS: '/' the most points.
constexpr const char* XTYPEDECL = "type _x*=array[1../] of *; ";
constexpr const char* YTYPEDECL = "type _y*=array[1../] of *; ";
constexpr const char* VARHEAD = "var ";
constexpr const char* VARS[] = {"_x*:/;", "_y*:/; ", "_n*:integer; ", "_xa*:_tpxa;"};
// A function shown as a graph: '/' the spline, '#' the class.
constexpr const char* NOREAL[] = {" _bnoreal:=true;", " _bnoreal:=false;"};
constexpr const char* GRAPHOF[] = {" _intigrafa(_xa*,", " _intigraf(_x*,"};
constexpr const char* GRAPHARGS = "_y*,_n*,/,#,";
constexpr const char* GRAPHNAME = "'*'); ";
constexpr const char* ONE = "1";
constexpr const char* CLASSDIGIT[] = {"", "1", "2", "3", "4", "5"};

bool ISREAL(const std::string& type) { return type == "REAL"sv; }

// The declared type of a function's vectors, and an element of them.
std::string XTYPE(const ValuedFunction& f) {
  return FILLIN(XVECTOR[ISREAL(f.ARGTYPE)], {{'*', f.ARGTYPE}});
}
std::string YTYPE(const ValuedFunction& f) {
  return FILLIN(YVECTOR[ISREAL(f.VALTYPE)], {{'*', f.VALTYPE}});
}
const char* AT(const std::string& type) { return ELEMENT[ISREAL(type)]; }

std::string SIGNATURE(const ValuedFunction& f) {
  return std::string(FUNVCLASSENTRY(f.CLASS)) + f.ARGTYPE + f.VALTYPE;
}

// A point value as written: [sign] number, name or string constant.
struct Point {
  std::string text;
  bool read = false;    // a value was there
  bool number = false;  // it is a number
};

Point VALUE(Compiler& c) {
  Source& s = c.src;
  Point p;
  RECID(c);
  std::string sign;
  if (!s.IDREAD && (s.CH == '+' || s.CH == '-')) {
    if (s.CH == '-') sign = "-";
    s.K++;
    RECID(c);
  }
  if (!s.IDREAD) return p;
  p.read = true;
  p.number = s.ISNUM;
  if (ISSTRING(s)) {  // its text with the quotes
    for (int i = s.KSTART; i < s.K; ++i) p.text += s.at(i);
  } else {
    p.text = s.IDENT;
  }
  p.text = sign + p.text;
  return p;
}

double NUMBEROF(const std::string& t) { return std::strtod(t.c_str(), nullptr); }

std::string NUMBERTEXT(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.15g", v);
  return b;
}

// "'text'" for the display names of non-REAL arguments.
std::string QUOTED(const std::string& t) {
  if (!t.empty() && t.front() == '\'') return t;
  return FILLIN(QUOTE, {{'*', t}});
}

// name ":array[1..n] of " type "=(" v1 "," ... vn ");" " "   (channel 3)
void CONSTARRAY(Compiler& c, const std::string& name, const std::string& type,
                const std::vector<std::string>& values) {
  ADDPIECE(c, CH_MODPRO,
           FILLIN(CONSTARR[0], {{'*', name}, {'/', std::to_string(values.size())}, {'#', type}}));
  for (size_t i = 0; i < values.size(); ++i)
    ADDPIECE(c, CH_MODPRO, values[i] + (i + 1 < values.size() ? CONSTARR[1] : CONSTARR[2]));
  ADDPIECE(c, CH_MODPRO, CONSTARR[3]);
}

// The point list of f in _init: new vectors, the count, the copy loop.
void COPYPOINTS(Compiler& c, const ValuedFunction& f, size_t n) {
  const std::string& F = f.NOM;
  bool realx = ISREAL(f.ARGTYPE), realy = ISREAL(f.VALTYPE);
  if (f.CLASS == FC_SPLINE && !c.expr.SPLINENEW) {
    STARTPIECE(c, CH_MODIN1, SPLINENEW);
    c.expr.SPLINENEW = true;
  }
  STARTPIECE(c, CH_MODIN1, FILLIN(NEWX[realx], {{'*', F}}));
  if (realy) ADDPIECE(c, CH_MODIN1, FILLIN(NEWY, {{'*', F}}));
  ADDPIECE(c, CH_MODIN1, FILLIN(COUNT, {{'*', F}, {'/', std::to_string(n)}}));
  ADDPIECE(c, CH_MODIN1, FILLIN(COPYLOOP[realx], {{'*', F}}));
  ADDPIECE(c, CH_MODIN1, FILLIN(COPYX[0], {{'*', F}, {'#', AT(f.ARGTYPE)}}));
  ADDPIECE(c, CH_MODIN1, FILLIN(COPYX[1], {{'*', F}}));
  ADDPIECE(c, CH_MODIN1, FILLIN(COPYY[0], {{'*', F}, {'#', AT(f.VALTYPE)}}));
  ADDPIECE(c, CH_MODIN1, FILLIN(COPYY[1], {{'*', F}}));
  if (!realx) ADDPIECE(c, CH_MODIN1, FILLIN(COPYNAMES, {{'*', F}}));
  ADDPIECE(c, CH_MODIN1, ENDSEMI);
  if (f.CLASS == FC_SPLINE) {
    ADDPIECE(c, CH_MODIN1, FILLIN(SPLINE[0], {{'*', F}}));
    ADDPIECE(c, CH_MODIN1, FILLIN(SPLINE[1], {{'*', F}, {'/', std::to_string(f.SPLINENO)}}));
  }
}

// The type names of the vectors, in order of first appearance, each with
// the most points any function gives it.
struct VectorType {
  std::string name;
  int points = 0;
};

void NOTETYPE(std::vector<VectorType>& v, const std::string& name, int points) {
  for (VectorType& t : v)
    if (t.name == name) {
      t.points = std::max(t.points, points);
      return;
    }
  v.push_back(VectorType{name, points});
}

// The runtime evaluates POLYG, SPLINE and STAIR of REAL values; DISC,
// FREQ and a STAIR of other values get a function of their signature.
bool GENERATED(const ValuedFunction& f) {
  return f.CLASS == FC_DISC || f.CLASS == FC_FREQ ||
         (f.CLASS == FC_STAIR && !ISREAL(f.VALTYPE));
}

// The generated evaluation function of a DISC, FREQ or STAIR signature: its
// heading in the interface (channel 1), heading and body in MODPRO.
void EVALUATION(Compiler& c, const ValuedFunction& f) {
  std::string name = FILLIN(FNAME, {{'*', SIGNATURE(f)}});
  std::string x = FILLIN(XAT, {{'*', AT(f.ARGTYPE)}});
  std::string head0 = FILLIN(FHEAD, {{'*', name}}), assign = FILLIN(FASSIGN, {{'*', name}});
  std::vector<std::string> head, body;
  if (f.CLASS == FC_DISC) {
    head = {head0, FILLIN(DISCHEAD[0], {{'*', f.ARGTYPE}}), FILLIN(DISCHEAD[1], {{'*', XTYPE(f)}}),
            FILLIN(DISCHEAD[2], {{'*', YTYPE(f)}}), FILLIN(FRESULT, {{'*', f.VALTYPE}})};
    body = {DISCBODY[0],
            FILLIN(DISCBODY[1], {{'*', x}}),
            DISCBODY[2],
            assign,
            FILLIN(DISCBODY[3], {{'*', AT(f.VALTYPE)}}),
            FEND};
  } else if (f.CLASS == FC_STAIR) {
    head = {head0, STAIRHEAD[0], FILLIN(STAIRHEAD[1], {{'*', YTYPE(f)}}),
            FILLIN(FRESULT, {{'*', f.VALTYPE}})};
    body = {STAIRBODY[0], STAIRBODY[1], assign, STAIRBODY[2], FEND};
  } else {
    head = {head0, FILLIN(FREQHEAD[0], {{'*', XTYPE(f)}}), FILLIN(FREQHEAD[1], {{'*', YTYPE(f)}}),
            FILLIN(FRESULT, {{'*', f.ARGTYPE}})};
    body = {FREQBODY[0], FREQBODY[1], assign, FILLIN(FREQBODY[2], {{'*', x}}), FEND};
  }
  for (size_t i = 0; i < head.size(); ++i) (i ? ADDPIECE : STARTPIECE)(c, CH_PRU, head[i]);
  for (size_t i = 0; i < head.size(); ++i) (i ? ADDPIECE : STARTPIECE)(c, CH_MODPRO, head[i]);
  for (const std::string& t : body) ADDPIECE(c, CH_MODPRO, t);
}

}  // namespace

// call -> F "(" expression ")"        (POLYG, STAIR, SPLINE, DISC)
//       | F [ "(" stream ")" ]         (FREQ)
// becomes _f<class><arg><value>(arg,_xF,_yF,_nF[,spline]) or
// _fFREQ<arg><value>(_xF,_yF,_nF,stream).
void PRFUNVEXP(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  TRACELN(c, "PROCESAR FUNCION VALUADA EN EXPRESION");
  // A valued function is given its points in INIT only.
  if (s.STMTSTART) ERROR(c, "illegal use of function");
  const ValuedFunction f = FOUNDFUNV(c);
  const std::string& F = f.NOM;
  SENDSRC(c, s.KSTART, o.CURCH);
  o.TRANSMIT = false;
  o.TRSTART = s.K;
  ADDPIECE(c, o.CURCH, FILLIN(CALL, {{'*', SIGNATURE(f)}}));
  if (f.CLASS != FC_FREQ) {
    RECID(c);
    MUSTBE(c, '(');
    s.K++;
    o.TRSTART = s.K;
    o.TRANSMIT = true;
    bool inargs = c.expr.INARGS;
    c.expr.INARGS = false;
    PREXP(c);
    c.expr.INARGS = inargs;
    MUSTBE(c, ')');
    SENDSRC(c, s.K - 1, o.CURCH);
    o.TRSTART = s.K;
    o.TRANSMIT = false;
    ADDPIECE(c, o.CURCH, FILLIN(CALLVECTORS, {{'*', F}}));
    if (f.CLASS == FC_SPLINE)
      ADDPIECE(c, o.CURCH, FILLIN(SPLINEARG, {{'/', std::to_string(f.SPLINENO)}}));
    ADDPIECE(c, o.CURCH, CLOSE);
  } else {
    ADDPIECE(c, o.CURCH, FILLIN(FREQVECTORS, {{'*', F}}));
    int line = s.PL, after = s.K;
    PEEK(c);
    if (!s.IDREAD && s.CH == '(') {
      s.K++;
      RECID(c);
      EXPECTINTEGER(c, "number expected");
      std::string stream = s.IDENT;
      RECID(c);
      MUSTBE(c, ')');
      s.K++;
      ADDPIECE(c, o.CURCH, FILLIN(STREAM, {{'/', stream}}));
    } else {
      ADDPIECE(c, o.CURCH, FIRSTSTREAM);  // what follows is read by the expression
      if (s.PL == line) s.K = after;  // and the blanks before it are kept
    }
  }
  s.IDREAD = true;
  RETOKEN(s);
  o.TRSTART = s.K;
  o.TRANSMIT = true;
}

void PRFUNV(Compiler& c) { PRFUNVEXP(c); }

// At statement start outside INIT a valued function has been read as a
// call already (PRFUNVEXP refuses it); nothing is left to do here.
void PRFUNVSTMT(Compiler& c) { ERROR(c, "illegal use of function"); }

// points -> F ":=" x "," y { "/" x "," y } ";"      (in INIT only)
void PRFUNVINIT(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  TRACELN(c, "PROCESAR FUNCION VALUADA EN INIT");
  if (o.CURCH != CH_MODIN1) ERROR(c, "illegal use of function");
  ValuedFunction& f = FOUNDFUNV(c);
  bool free = f.CLASS == FC_DISC || f.CLASS == FC_FREQ;
  bool freq = f.CLASS == FC_FREQ;
  SENDSRC(c, s.KSTART, CH_MODIN1);
  STARTPIECE(c, CH_MODPRO, CONSTHEAD);
  o.TRMODE = 2;
  o.TRANSMIT = false;
  RECID(c);
  MUSTBEPAIR(c, ":=");
  s.K += 2;
  std::vector<std::string> xs, ys;
  double last = 0, sum = 0;
  do {
    Point x = VALUE(c);
    if ((!free || !x.read) && !x.number) ERROR(c, "error in number");
    if (!free && !xs.empty() && NUMBEROF(x.text) < last) ERROR(c, "argument values not in order");
    last = NUMBEROF(x.text);
    RECID(c);
    MUSTBEONE(c, ",", "Y value expected");
    s.K++;
    Point y = VALUE(c);
    if (freq && !y.number) ERROR(c, "error in value of frequency");
    if (!y.read) ERROR(c, "Y value expected");
    if (freq) {
      sum += NUMBEROF(y.text);
      y.text = NUMBERTEXT(sum);
    }
    xs.push_back(x.text);
    ys.push_back(y.text);
    RECID(c);
    MUSTBEONE(c, "/;", "/ o ; expected");
    s.K++;
  } while (s.CH != ';');
  if (static_cast<int>(xs.size()) > f.NPOINTS) ERROR(c, "incorrect number of values");
  f.INITED = true;
  CONSTARRAY(c, FILLIN(XPOINTS, {{'*', f.NOM}}), f.ARGTYPE, xs);
  CONSTARRAY(c, FILLIN(YPOINTS, {{'*', f.NOM}}), f.VALTYPE, ys);
  if (!ISREAL(f.ARGTYPE)) {
    std::vector<std::string> names;
    for (const std::string& x : xs) names.push_back(QUOTED(x));
    CONSTARRAY(c, FILLIN(XNAMES, {{'*', f.NOM}}), NAMETYPE, names);
  }
  COPYPOINTS(c, f, xs.size());
  o.TRSTART = s.K;
  o.TRANSMIT = true;
  if (c.stmt.INEXPER) {
    ExpItem e;
    e.NOM = CUT(f.NOM, EXPNAMEMAX);
    e.KIND = 'F';
    c.stmt.EXPLIST.push_back(e);
  }
}

// The vector types, the vectors of every function and the evaluation
// functions the runtime lacks, one per signature.
void PRFUNVDECL(Compiler& c) {
  const std::vector<ValuedFunction>& fs = c.kw.FUNV;
  if (fs.empty()) return;
  std::vector<VectorType> xt, yt;
  for (const ValuedFunction& f : fs) {
    NOTETYPE(xt, f.ARGTYPE, f.NPOINTS);
    NOTETYPE(yt, f.VALTYPE, f.NPOINTS);
  }
  for (const VectorType& t : xt)
    STARTPIECE(c, CH_PRU, FILLIN(XTYPEDECL, {{'*', t.name}, {'/', std::to_string(t.points)}}));
  for (const VectorType& t : yt)
    STARTPIECE(c, CH_PRU, FILLIN(YTYPEDECL, {{'*', t.name}, {'/', std::to_string(t.points)}}));
  for (const ValuedFunction& f : fs) {
    STARTPIECE(c, CH_PRU, VARHEAD);
    ADDPIECE(c, CH_PRU, FILLIN(VARS[0], {{'*', f.NOM}, {'/', XTYPE(f)}}));
    ADDPIECE(c, CH_PRU, FILLIN(VARS[1], {{'*', f.NOM}, {'/', YTYPE(f)}}));
    ADDPIECE(c, CH_PRU, FILLIN(VARS[2], {{'*', f.NOM}}));
    if (!ISREAL(f.ARGTYPE)) ADDPIECE(c, CH_PRU, FILLIN(VARS[3], {{'*', f.NOM}}));
  }
  std::vector<std::string> done;
  for (const ValuedFunction& f : fs) {
    if (!GENERATED(f)) continue;
    std::string sig = SIGNATURE(f);
    if (std::find(done.begin(), done.end(), sig) != done.end()) continue;
    done.push_back(sig);
    EVALUATION(c, f);
  }
  FLUSHOUT(c, CH_PRU);
}

// After INIT: every function has its points; those named in input/output
// lists are shown as graphs.
void PRFUNVEND(Compiler& c) {
  for (const ValuedFunction& f : c.kw.FUNV) {
    if (!f.INITED) ERROR(c, "function not initialized");
    if (!f.IOMARK) continue;
    const std::string& F = f.NOM;
    bool realx = ISREAL(f.ARGTYPE);
    int cls = f.CLASS;
    std::string k = f.CLASS == FC_SPLINE ? std::to_string(f.SPLINENO) : ONE;
    STARTPIECE(c, CH_MODIN1, NOREAL[realx]);
    STARTPIECE(c, CH_MODIN1, FILLIN(GRAPHOF[realx], {{'*', F}}));
    ADDPIECE(c, CH_MODIN1,
             FILLIN(GRAPHARGS,
                    {{'*', F}, {'/', k}, {'#', cls >= 1 && cls <= 5 ? CLASSDIGIT[cls] : ONE}}));
    ADDPIECE(c, CH_MODIN1, FILLIN(GRAPHNAME, {{'*', F}}));
  }
}
