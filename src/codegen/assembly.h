// Output assembly: the unit files of the modules, the completion of PRU.PAS
// from the temporaries, and the main program with the event loop.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct Compiler;

// ---- assembly (assembly.cpp)
void StartUnitIfNeeded(Compiler& c, int node);
void AssembleProgram(Compiler& c);
// The main program file: the path up to the source name's first '.', then
// "DPR"; the program name is the source name before that '.'.
std::string MAINFILEOF(std::string_view srcpath);
std::string PROGNAMEOF(std::string_view srcpath);

// ---- program name (progname.cpp): model errors when the program name
// would clash in the main program. The name alone (after the line store,
// before anything is written), against the node names (after the
// headers), against the user's units and responses (before the main
// program is written).
void CheckProgramName(Compiler& c);
void CheckProgramNodes(Compiler& c);
void CheckProgramUses(Compiler& c);
