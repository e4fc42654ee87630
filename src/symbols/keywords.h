// Keyword tables: the fixed vocabularies of the language and their lookups.
// A word's 1-based position in its table is its number; translators
// dispatch on it and index the parallel argument-count tables with it.
#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include "symbols/keywords_state.h"

struct Compiler;

// ---- lookups of IDENT (keywords.cpp). A match clears NOTFOUND; a miss
// leaves it as it was and stores the table's *NONE number.
void RESWORD(Compiler& c);    // -> IDX
void STMTWORD(Compiler& c);   // -> STMTNO
void INSTLOOK(Compiler& c);   // -> KWNO
void PPROCLOOK(Compiler& c);  // -> KWNO
void FUNCLOOK(Compiler& c);   // -> KWNO
// -> KWNO (1..16); an unknown colour is a model error. Leaves NOTFOUND alone.
void COLORNO(Compiler& c);
// Walks FUNV from its head; sets FUNVFOUND (NOFUNV on a miss) and FUNVLAST.
void FUNVLOOK(Compiler& c);

// The found record; only after FUNVLOOK cleared NOTFOUND.
ValuedFunction& FOUNDFUNV(Compiler& c);
// Appends a record named name (cut to 23 characters) and returns it.
ValuedFunction& FUNVADD(Compiler& c, std::string_view name);

// Plain searches without side effects, for the class readers.
int DECLCLASSNO(std::string_view w);  // 1..14, DECLCLASSNONE when absent
int FUNVCLASSNO(std::string_view w);  // 1..5, FUNVCLASSNONE when absent

// Table entries by number; "" outside the table. Fillers read as stored.
std::string_view DECLCLASSENTRY(int i);
std::string_view STMTENTRY(int i);
std::string_view RESENTRY(int i);
std::string_view INSTENTRY(int i);
std::string_view FUNCENTRY(int i);
std::string_view PPROCENTRY(int i);
std::string_view COLORENTRY(int i);
std::string_view FUNVCLASSENTRY(int i);

// Parallel argument counts; -1 marks a function over a network list.
// 0 outside the table.
int FUNCARGS(int i);
int PPROCARGS(int i);
