// The state of continuous/ (the continuous variables and the equations): data
// types only, held by the Compiler object; the routines are declared in
// continuous.h.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

struct Compiler;
struct NameNode;

// One continuous variable, or one stage of a delayed (RET) variable.
struct ContVar {
  std::string NOM;     // the variable, or "_" X "_DEL" for a stage of X
  int SUBNO = 0;       // subscript number, 0 for a plain variable
  std::string SUBTXT;  // subscript text
  int EQNO = 0;        // its equation's number, 0 until the equation is met
  int STAGES = 0;      // RET order n of a delayed variable, 0 otherwise
};

// A RET variable whose stage array waits for the end of its group.
struct DelayDecl {
  std::string NOM;  // the variable
  int ORDER = 0;    // n > 1: n - 1 stages
};

enum ContMethod { M_RKF = 1, M_EUL = 2, M_RK4 = 3 };

// Integration tolerances of _init.
constexpr const char* TOLERANCES = "eabs:=0.00001; erel:=0.0001;";

// Subsystem 8 state.
struct Cont {
  std::vector<ContVar> VARS;                 // declaration order = order in _y
  std::unordered_map<std::string, int> POS;  // lookup text -> first position, from 1
  std::unordered_map<const NameNode*, int> DELAY;  // RET n (n > 1) by entry
  std::vector<DelayDecl> PENDING;  // stage arrays of the group just typed

  int NEQ = 0;              // last equation number given out
  int GFIRST = 0;           // first equation of the open group
  bool GROUPOPEN = false;   // an equation group is open
  bool NOSEMI = false;      // the last equation ended before END or ELSE
  int GROUPCOUNT = 0;       // equations of the open group
  std::vector<int> ORDER;   // per equation: its variable's position in _y
  int METHOD = M_RKF;       // integration method chosen by METHOD ...
  int METHODNODE = 0;       // ... in this node; any other node uses RKF
  bool CASEPENDING = true;  // "case _m of" not written yet
  std::string NODENAME;     // the C node whose code is translated

  std::vector<std::string> FREQVARS;  // FREQ variables, for the statistics
};
