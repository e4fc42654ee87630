// The state of decl/ (the declarations being read, dBase tables, valued-
// function signatures): data types only, held by the Compiler object; the
// routines are declared in decl.h.
#pragma once
#include <string>
#include <string_view>
#include <vector>
#include "symbols/keywords_state.h"

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
