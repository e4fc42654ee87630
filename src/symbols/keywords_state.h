// The state of symbols/ (the vocabularies' numbers and the valued functions):
// data types only, held by the Compiler object; the routines are declared in
// keywords.h.
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Table sizes, filler entries included, and the number a lookup leaves
// when the word is absent.
constexpr int NDECLCLASS = 15;   // entry 15 is a blank
constexpr int NSTMTWORD = 11;    // entry 11 is empty and never compared
constexpr int NRESWORD = 15;     // entry 15 is empty
constexpr int NINSTWORD = 59;    // entries 58, 59 are blanks
constexpr int NFUNCWORD = 56;    // entry 56 is empty
constexpr int NPPROCWORD = 27;
constexpr int NCOLORWORD = 17;   // entry 17 is a blank
constexpr int NFUNVCLASS = 6;    // entry 6 is a blank

constexpr int DECLCLASSNONE = 15;
constexpr int STMTNONE = 11;
constexpr int RESNONE = 15;
constexpr int INSTNONE = 60;
constexpr int FUNCNONE = 57;
constexpr int PPROCNONE = 28;
constexpr int FUNVCLASSNONE = 6;

constexpr int NRANDDIST = 15;  // functions 1..15 are the random distributions

// Declaration classes of DECL.
enum DeclClass : int {
  DC_TYPE = 1, DC_VAR, DC_CONST, DC_GFUNCTIONS, DC_MESSAGES, DC_NODES,
  DC_TABLES, DC_STATISTICS, DC_PROCEDURES, DC_FACTORS, DC_RESPONSES,
  DC_DBTABLES, DC_USES, DC_END
};

// Statement words (STMTNO).
enum StmtWord : int {
  SW_BEGIN = 1, SW_IF, SW_WHILE, SW_FOR, SW_REPEAT, SW_CASE, SW_GOTO,
  SW_UNTIL, SW_DONODE, SW_DOEVENT
};

// Reserved (operator) words (IDX).
enum ResWord : int {
  RW_END = 1, RW_OR, RW_AND, RW_THEN, RW_ELSE, RW_DO, RW_TO, RW_DOWNTO,
  RW_OF, RW_MOD, RW_NOT, RW_DIV, RW_XOR, RW_IN
};

// Simulation instructions (KWNO after INSTLOOK). I_STOP is __STOP and so on.
enum Inst : int {
  I_ACT = 1, I_AGRE, I_ASSEMBLE, I_COUNT, I_CREATE, I_ENDSIMUL, I_EXAM,
  I_EXTR, I_FIFO, I_BEGINSCAN, I_GO, I_GOALL, I_LIFO, I_MOVE, I_ORDER,
  I_POINT, I_PREEMPTION, I_SCAN, I_SELECT, I_SENDTO, I_SENDTOF,
  I_SYNCHRONIZE, I_SORT, I_COPYMESS, I_STOP, I_STOPALL, I_STAT, I_FREE,
  I_NOTFREE, I_REL, I_DEACT, I_TAB, I_CLRSTAT, I_STOPSCAN, I_UPDATE,
  I_TRANS, I_REPLIC, I_EXTFEL, I_PUTFEL, I_METHOD, I_DISASSEMBLE, I_GRAPH,
  I_DESTROY, I_PAUSE, I_TRACE, I_UNTRACE, I_ASSI, I_INTI, I_OUTG, I_RETARD,
  I_MENU, I_BLOCK, I_DEBLOCK, I_DISFEL, I_LOAD, I_UNLOAD, I_DBUPDATE
};

// Built-in functions (KWNO after FUNCLOOK).
enum Func : int {
  F_BIN = 1, F_ERLG, F_EXPO, F_GAUSS, F_NORM, F_RANDOM, F_TRIA, F_UNIF,
  F_UNIFI, F_BER, F_BETA, F_GAMMA, F_POISSON, F_LOGNORM, F_WEIBULL, F_LL,
  F_ORD, F_TRUNC, F_ABS, F_ARCTAN, F_COS, F_EXP, F_INT, F_LN, F_ROUND,
  F_SIN, F_SQRT, F_READKEY, F_MAX, F_MIN, F_MODUL, F_PFIRST, F_PLAST,
  F_RND, F_KEYPRESSED, F_NOSOUND, F_OFS, F_SEG, F_MINI, F_MAXI, F_MAXL,
  F_MINL, F_MEDL, F_DMEDL, F_ENTR, F_TFREE, F_MSTL, F_DMSTL, F_EOF,
  F_VOIDFEL, F_WHEREX, F_WHEREY, F_LENGTH, F_FILESIZE, F_COPY
};

// Pascal procedures (KWNO after PPROCLOOK).
enum PProc : int {
  P_APPEND = 1, P_ASSIGN, P_CLOSE, P_DELAY, P_FILEPOS, P_FILESIZE, P_OPEN,
  P_RESET, P_REWRITE, P_SEEK, P_GOTOXY, P_GETTIME, P_GETDATE, P_SOUND,
  P_NEW, P_DISPOSE, P_BLOCKWRITE, P_BLOCKREAD, P_RELEASE, P_CLRSCR, P_STR,
  P_VAL, P_TRUNCATE, P_CLOSEGRAPH, P_OUTTEXTXY, P_UPCASE, P_LENGTH
};

// Interpolation classes of valued functions.
// FC_NONE: a record not given its class yet.
enum FunvClass : int { FC_NONE = 0, FC_POLYG, FC_SPLINE, FC_STAIR, FC_DISC, FC_FREQ };

// One GFUNCTIONS declaration. Names are unique in the list.
struct ValuedFunction {
  std::string NOM;      // the function's name, at most 23 characters
  FunvClass CLASS = FC_NONE;  // its name is FUNVCLASSENTRY(CLASS)
  std::string ARGTYPE;  // argument type name, at most 23
  std::string VALTYPE;  // value (result) type name, at most 23
  int NPOINTS = 0;      // declared maximum number of points
  int SPLINENO = 0;     // rank among the SPLINE functions, from 1
  bool INITED = false;  // its point list was read in INIT
  bool IOMARK = false;  // named in an input/output list
};

constexpr int NOFUNV = -1;  // no valued-function record

// Results of the vocabulary lookups, and the valued-function list.
struct Keywords {
  int IDX = 0;     // reserved-word number (RESWORD)
  int STMTNO = 0;  // statement-word number (STMTWORD)
  int KWNO = 0;    // instruction, function, procedure or colour number
  std::vector<ValuedFunction> FUNV;  // valued functions in declaration order
  std::unordered_map<std::string, int> FUNVINDEX;  // first FUNV index by NOM
  int FUNVFOUND = NOFUNV;  // index in FUNV of the record FUNVLOOK found
  int FUNVLAST = NOFUNV;   // index of the record it compared last
};
