// Code generation: node procedures, transfer procedures, statistics, INIT
// and experiments, and the assembly of the output files.
#pragma once

struct Compiler;

// Subsystem 9 state.
struct Gen {
};
