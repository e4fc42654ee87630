// Declarations: the handlers of the DECL section's classes (the pass over
// the section, BUDECL, stands in model/), the checks every
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
#include <string_view>
#include <vector>
#include "decl/decl_state.h"

struct Compiler;

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

// ---- DBTABLES and the dBase instructions (dbase.cpp)
void PRODBT(Compiler& c);
// The tables' constants, types and variables, once, on channel 1; the
// network organisation calls it after its tables.
void PRDBDECL(Compiler& c);
// LOAD, UNLOAD, DBUPDATE (kw is the instruction number), from PRINST,
// which then ends the statement.
void PRLOAD(Compiler& c);      // LOAD
void PRUNLOAD(Compiler& c);    // UNLOAD
void PRDBUPDATE(Compiler& c);  // DBUPDATE
// name is a table of DBTABLES (a variable of pru, not in the name tree).
bool ISDBTABLE(const Compiler& c, const std::string& name);

// A measured variable's NameNode carries its statistics flag in FLAG1 and
// its element count in COUNT1 (the size of its last dimension).
// ---- statistics (statistics.cpp; code generated for the measured
// nodes and variables, stands with the STATISTICS class)
// A STATISTICS class was given (a node or a variable of its own measured).
bool HASSTATISTICS(const Compiler& c);
// The empty stat of a model without a STATISTICS class (MODPRO).
void DeclareStatProcedure(Compiler& c);
// _ou, _ov and their arrays in PRU.PAS, _aesva in MODPRO; gives out the
// nodes' STATNAME and the variables' indexes. Called by the organisation.
void DeclareNodeAndVariableStatistics(Compiler& c);
// The bodies of _prsta and _prstp and a blank line, on MODPRO (INIT pass).
void WriteStatisticsProcedures(Compiler& c);
// The _prsta / _prstp call around a change of R node n's U_ variable, on
// CURCH; inst is the instance text of a multiple node.
void ResourceStatisticsBefore(Compiler& c, int node, std::string_view inst = "ino");
void ResourceStatisticsAfter(Compiler& c, int node, std::string_view inst = "ino");
// The statistics calls of the measured continuous variables of equations
// first..last, taken over the integration just done; none when none of
// them is measured.
std::vector<std::string> ContinuousStatistics(const Compiler& c, int first, int last);
// The hand-off of an assignment to a measured variable, around it.
void StatisticsBefore(Compiler& c);
void StatisticsAfter(Compiler& c);

// ---- transfer procedures and resources (transfer.cpp; the message
// records these serve are declared here)
// Starts the four transfer elements of record n. whole: nothing will be
// added to them (an I node's default record); otherwise ENDCASE closes them.
void ADDCASE(Compiler& c, int n, bool whole);
void ENDCASE(Compiler& c);  // closes the current record's elements
// Transfer lines of one field of the current record (NUMTXT): kind 0 a
// simple field, kind 1 an array with one subscript from lo to hi. Called
// with the field's name and again with "O_" + the name.
void AddFieldTransfer(Compiler& c, int kind, std::string_view name,
                      std::string_view lo = "", std::string_view hi = "");
// Both transfers of a message field typed by the type reader (its O_ twin
// is skipped: the field's own call covers it).
void FIELDTRANSFER(Compiler& c, const NameNode* e);
// The record type of record num in pru: its head, and after the fields its
// end with the two pointer variables; each a line of its own.
void RECTYPE(Compiler& c, std::string_view num);
void RECVARS(Compiler& c, std::string_view num);
// The default message record of I node n (one not named by NODES): the
// record type, its pointers and its complete transfer elements. Called by
// the organisation for each such node, before WriteTransferProcedures.
void DefaultRecord(Compiler& c, int n);
// Closes _upvr and writes _uprv, _upvro, _uprvo, _elim and _newr to MODPRO.
void WriteTransferProcedures(Compiler& c);
// The m_, f_, u_ variables of R node n and their start values in _com.
void DeclareResource(Compiler& c, int n);
// Writes text on channel ch as a line of its own: the line being packed
// there is ended first, and nothing will join the text.
void OWNLINE(Compiler& c, ChannelNo ch, std::string_view text);
// Gives back what a message holds of R node n's resource (amount: the
// current message's "use", or "O_USE" for one put out of service), through
// the statistics of U_; inst is the copy of a multiple node ("ino" in its
// own procedure).
void ReleaseResource(Compiler& c, int node, std::string_view inst = "ino",
                     std::string_view amount = "use");
// The resource of R node n as its code names it: NOM, or NOM "[" inst "]"
// for a multiple node.
std::string RESOURCETEXT(const Compiler& c, int node, std::string_view inst);

// ---- variables and per-node declarations (continuous.cpp; the vector _y and
// what stands around it, written by the organisation and the INIT pass)
// The step-size, clock and activation variables of C node n (channel 1),
// their start values in _com (channel 3), and DT_<node> in the name tree.
void DeclareContinuousNode(Compiler& c, int n);
// _arrv, _arrm and _y; with continuous variables also the address table
// _yp (channel 1).
void WriteContinuousVector(Compiler& c);
// "const _ore:array[1..n] of integer=(...);" on channel 1.
void WriteOrderConstant(Compiler& c);
// Continuous and FREQ variables as the declarations read them.
void DeclareContinuous(Compiler& c, NameNode* e, int retorder);
void DeclareContinuousArray(Compiler& c, NameNode* e);
void DeclareFreq(Compiler& c, NameNode* e);
void CONTPENDING(Compiler& c);  // a continuous declaration left pending
int DELAYLEN(Compiler& c, const NameNode& e);   // delay history, 0: none
