// Statements and instructions: the statement translator used for node
// code, INIT and procedures, the Pascal control statements, and the
// simulation instructions.
#pragma once
#include <string>
#include <string_view>
#include <vector>
#include "stmt/stmt_state.h"

struct Compiler;

// ---- dispatcher (dispatcher.cpp)
void PRINS(Compiler& c);     // one statement
void PRCOMINS(Compiler& c);  // the start of a statement, classified into KC
void PRINST(Compiler& c);    // a simulation instruction, keyword in KWNO

// ---- assignments and statement ends (assign.cpp)
void PRASIG(Compiler& c);              // ":="
void PRINSIM(Compiler& c, bool upd);   // right side; upd: shift delays
void PRFININS(Compiler& c, bool close);  // ";" or before END/ELSE
void PRFINGL(Compiler& c);   // the same for instructions with a block
void PRNODASG(Compiler& c);  // N := e, N[i] := e
void PRNODCALL(Compiler& c); // N(x)
void PRPTRFLD(Compiler& c);  // "^." field after a variable

// ---- message-flow instructions (flow_*.cpp; their translators are in
// flow.h, PRPREVAR is listed with the hooks below). The list-position reader of EXTR, AGRE
// and TRANS: list "," (FIRST | LAST | GPOINTER variable) gives the list
// number text and the position ("_fl[list]", "_ll[list]" or the variable).
void PRLISTPOS(Compiler& c, std::string& list, std::string& pos);

// ---- the PROCEDURES class (procedures.cpp): headings read by the
// declarations' readers, bodies translated as statements.
void PROPROC(Compiler& c);

// ---- control statements (control.cpp)
void PRCOMP(Compiler& c);
void PRIF(Compiler& c);
void PRWHILE(Compiler& c);
void PRFOR(Compiler& c);
void PRREPEAT(Compiler& c);
void PRCASE(Compiler& c);
void PRGOTO(Compiler& c);
void PRDONODE(Compiler& c);
void PRDOEVENT(Compiler& c);
void PRPROCP(Compiler& c);   // call of a procedure of PROCEDURES
void PRPROPA(Compiler& c);   // call of a standard Pascal procedure

// ---- handlers the dispatcher reaches (message flow, other instructions);
// those of dBase, equations, valued functions and statistics are declared
// by their own folders.
// Other instructions (other_inst.cpp), entered with transmission off.
void PRFIXED(Compiler& c, std::string_view text, bool force);  // one fixed text
void PRENDSIMUL(Compiler& c);
void PRSTOPSCAN(Compiler& c);
void PRPASS(Compiler& c);    // STAT, MENU, CLRSTAT, REPLIC, DISFEL: passed through
void PRTAB(Compiler& c);
void PRUPDATE(Compiler& c);
void PRTRANS(Compiler& c);
void PRPOINT(Compiler& c);
void PRFEL(Compiler& c);     // EXTFEL, PUTFEL
void PRGRAPH(Compiler& c);
void PRPREVAR(Compiler& c);             // IT, NT, STAY, USE := ...
void PRARRAYASG(Compiler& c, std::string_view word);  // "#", ASSI
void PRIOLIST(Compiler& c, bool input, std::string_view word);  // "@" "%"
void PRIOSTMT(Compiler& c);    // WRITELN, WRITE, READLN, READ, FILE
// The _init pieces of the FILE statements of user procedures, behind
// _init's head (called by the INIT pass).
void WriteFileHeadings(Compiler& c);
void PRFREQTAB(Compiler& c);   // a frequency table at statement start
void PRRAND(Compiler& c);
struct RandSet;
// RANDV_ of a random-variate set in the name tree: a global REAL array.
void ENTERRANDV(Compiler& c, const RandSet& r);
// RANDV_, _d_, _din_, _r_, _i_ of one set in PRU.PAS, their start in _init
// (MODIN1) and RANDV_ in the name tree.
void DeclareRandomSet(Compiler& c, const RandSet& r);
void PRREPORT(Compiler& c);
// The block being translated, as TRANS remembers it; at the start of
// another block the message in hand is the node's own again.
std::string BLOCKKEY(const Compiler& c);
void ENDTRANSCONTEXT(Compiler& c);
void PRENDREPORT(Compiler& c);
