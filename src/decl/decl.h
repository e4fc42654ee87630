// Declarations: the DECL section, class by class (BUDECL), the checks every
// newly declared name goes through, the type reader and the variable and
// constant readers, which are also used outside DECL (procedure heads,
// node-local variables, message fields).
//
// Generic NameNode fields as the declarations use them: CODE is the kind
// (SIZEKIND), COUNT1 the size of the last numeric dimension, COUNT the
// parameter count of a procedure or procedure variable, FLAG4 marks a
// procedure variable. FLAG1 is the statistics flag (codegen).
#pragma once
#include <string>
#include <vector>

struct Compiler;
struct NameNode;
struct TypeRecord;

// One signature of the valued functions (class, argument and value type),
// for which the runtime's evaluation routine and point arrays are sized.
struct FuncTable {
  std::string KEY;      // class + argument type + value type, at most 30
  FunvClass CLASS = FC_NONE;
  std::string ARGTYPE;
  std::string VALTYPE;
  int NPOINTS = 0;      // the largest point count of its functions
  int SPLINENO = 0;     // SPLINE number of its last function
};

// One field of a dBase table, from its descriptor in the file header.
struct DbField {
  std::string NOM;   // field name, at most 10 characters, no blanks
  std::string TIPO;  // REAL, INTEGER, STRING or BOOLEAN
  int SIZE = 0;      // 6, 2, the width, 1: the size the table declares
  int WIDTH = 0;     // characters in a record
  int DEC = 0;       // decimals of a numeric field
  bool KEY = false;  // one of the first m fields of a table with m > 1
};

// One table of DBTABLES, in declaration order.
struct DbTable {
  std::string NOM;        // table name, at most 11 characters
  std::string FILE;       // prefix + name as written, without ".dbf"
  bool FIRST = false;     // first table of its group
  int M = 1;              // subscripts of its field arrays
  long long NREC = 0;     // records
  int RECLEN = 0;         // bytes of a record, its deletion mark included
  std::vector<DbField> FIELDS;
  std::vector<int> KEYTABS;          // m > 1: the tables of its dimensions
  std::vector<std::string> KEYVALS;  // m = 1: first field of every record
};

// How the text of a type ends, which depends on who reads it.
enum TypeEnd {
  TE_DECL,   // a declaration: [ABSOLUTE x] ";" or "=" (BUSPOCO), next word read
  TE_FIELD,  // a record field: ";" and the next field, or END; next word read
  TE_STOP,   // a parameter, typed constant or message field: stop on ; ) =
};

// What a PROVAR call reads; set by its caller just before the call and
// cleared by PROVAR, so nested calls start plain.
struct VarMode {
  bool FORMAL = false;  // formal parameters: ';' between groups, ')' ends
  bool LOCAL = false;   // routine-local: BEGIN also ends the list
  bool COLONS = false;  // node head ending in VAR: "::" also ends the list
  bool FIELDS = false;  // record fields: END ends the list
  bool NOTREE = false;  // procedure types: the names get no type (no TYPARB)
};

// Working state of the type being read; reset for every declaration.
struct TypeWork {
  std::string TYPNAME;      // the type word after ':' of a variable group
  std::string TIPOTIPO;     // base-type word: "ARRAY", "RECORD", "SCALAR", ...
  int TYPEKIND = 0;         // type number of the base type first met
  long long CONARR = 1;     // product of the numeric dimension sizes
  int LASTDIM = 0;          // size of the last numeric dimension
  NameNode* FIELDTREE = nullptr;  // field tree of a record read here
  bool ANONREC = false;     // a variable's own RECORD: PROVAR reads its fields
  bool RETFLAG = false;     // RET n: a delayed continuous variable
  int RETORDER = 0;         // its n
  bool PROCVAR = false;     // the variables are procedure variables
  int NPARAM = 0;           // parameter count of a procedure type
  std::string TARGET;       // pointed type of ^T
  std::string LASTTYPENAME; // type record the reader ended on
  bool STRVAR = false;      // the type word is STRING
  // The subrange read last.
  bool SUBNUM = false;      // both bounds were integer literals
  int SUBLO = 0, SUBHI = 0;
};

// Subsystem 5 state.
struct Decl {
  // ---- the driver
  int CLASSIDX = 15;         // class found by the last BUCLADE (15: none)
  bool CLASSFOUND = false;   // CLASSIDX names a class
  std::string NOM5;          // first word after DECL (or after USES)
  bool USESFIRST = true;     // the DECL section begins with USES
  std::vector<std::string> USESLIST;  // units named in USES, in order
  bool PROCSEEN = false;     // the PROCEDURES class has been handled
  int NodeCountAtDecl = 0;   // NodeCount when the class loop starts

  // ---- types
  bool TYPDECL = false;      // the TYPE class is handled
  std::string NOM2;          // type (or constant) being declared
  TypeWork W;                // the type being read
  TypeEnd ENDMODE = TE_DECL; // how BUTYPE ends the type's text
  bool VARTYPE = false;      // PROVAR reads the type: it reads anonymous records
  bool TYPEROOT = false;     // BUTYPE reads the type of a TYPE declaration
  int TYPEDEPTH = 0;         // nested BUTYPE calls (1: the declared type)
  int ARRAYDEPTH = 0;        // nested ARRAY readers
  bool MSGFIELDS = false;    // message-field mode (MESSAGES/NODES fields)
  bool INFIELDS = false;     // the names being typed are record fields
  bool CONTSEEN = false;     // continuous variables were declared
  bool CONTCLOSED = false;   // another variable followed them

  // ---- variables and constants
  VarMode MODE;              // the next PROVAR's mode
  bool FUNCRESULT = false;   // a function head: ':' and a result type follow ')'
  int PARAMCOUNT = 0;        // formal parameters read by the last PROVAR
  std::string RESULTTYPE;    // result type word of a function head
  bool CONSTMODE = false;    // the CONST class is handled

  // ---- other classes
  std::vector<FuncTable> FUNTABLES;  // signatures of the valued functions
  int NSPLINE = 0;           // SPLINE functions declared
  bool STATCLASS = false;     // a STATISTICS class was read
  std::vector<std::string> FACTORLIST;  // FACTORS, in order (RESPONSES: Program)

  // ---- dBase tables
  std::vector<DbTable> DBTABS;
  long long DBMAXREC = 0;    // largest record count of the tables
};

// ---- the driver (driver_decl.cpp)
void BUDECL(Compiler& c);    // the declaration pass; PL on the DECL line
void USES(Compiler& c);      // unit list after USES
void USESEMIT(Compiler& c, ChannelNo ch);  // ",", the units, " " to channel ch

// ---- checks shared by the class handlers (checks.cpp)
void BUCLADE(Compiler& c);  // IDENT in the class table
void BUSPOCO(Compiler& c);  // [ABSOLUTE x] then ";" or "="
void CHKRES(Compiler& c);   // IDENT must not be a reserved word
void CHKNAME(Compiler& c);  // nor a node name

// ---- types (types.cpp)
void PROTYPE(Compiler& c);  // the TYPE class
// One type at IDENT/CH, ended as ENDMODE says. Callers reset the working
// state first (TYPERESET) and set ENDMODE and VARTYPE.
void BUTYPE(Compiler& c);
void TYPERESET(Compiler& c);
// The type named by IDENT, read whole up to the ";" after it.
void NAMEDTYPE(Compiler& c);
void ENDTYPE(Compiler& c);  // the end of a type's text, by ENDMODE
void PRARRAY(Compiler& c);
void PRSTRING(Compiler& c);
void PRRECORD(Compiler& c);
void PRSET(Compiler& c);
void PRFILE(Compiler& c);
void PRPOINTER(Compiler& c);
void PRSCALAR(Compiler& c, bool declares);
void PRTIPRO(Compiler& c);
void SUBRANGE(Compiler& c, bool& ok, bool declares);
void SUBROSIM(Compiler& c, bool& ok);

// Fields of a record up to its END, in a tree of their own (the returned
// root); every other state is kept.
NameNode* READFIELDS(Compiler& c);

// ---- variables (variables.cpp)
void PROVAR(Compiler& c);   // declarations in the mode MODE
void TYPARB(Compiler& c);   // the current group gets the type just read

// ---- constants (constants.cpp)
void PROCONST(Compiler& c);  // the CONST class
void PRCA(Compiler& c, const std::string& elemtype);  // "(" values ")"
void CHKCONST(Compiler& c, const std::string& t);
void READSIGNED(Compiler& c);

// ---- the MESSAGES/NODES class handler (messages.cpp)
void PROMESS(Compiler& c);
void PROFIELDS(Compiler& c);  // one field list "name {, name} : type"
void ENDREC(Compiler& c);     // closes a record, moves its globals into pru

// ---- GFUNCTIONS, TABLES, STATISTICS, FACTORS, RESPONSES (classes.cpp)
void PROGFUNC(Compiler& c);
void PROTABLES(Compiler& c);
void PROSTAT(Compiler& c);
void PROFACT(Compiler& c);
void PRORESP(Compiler& c);
// The start of a class whose text is not copied: what stands before its
// keyword on the keyword's line is sent (or copied) first, and a class
// whose declarations the organisation has already written is refused.
void CLASSSTART(Compiler& c, bool beforeorganisation);

// ---- PROCEDURES (procedures.cpp)
void PROPROC(Compiler& c);

// ---- DBTABLES and the dBase instructions (dbase.cpp)
void PRODBT(Compiler& c);
// The tables' constants, types and variables, once, on channel 1; the
// network organisation calls it after its tables.
void PRDBDECL(Compiler& c);
// LOAD, UNLOAD, DBUPDATE (kw is the instruction number), from PRINST.
void PRLOAD(Compiler& c);      // LOAD
void PRUNLOAD(Compiler& c);    // UNLOAD
void PRDBUPDATE(Compiler& c);  // DBUPDATE
// name is a table of DBTABLES (a variable of pru, not in the name tree).
bool ISDBTABLE(const Compiler& c, const std::string& name);

// ---- places later work completes (hooks.cpp)
void ORGANIZE(Compiler& c);  // the network organisation
