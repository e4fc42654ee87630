// Continuous simulation: continuous variables, differential equations,
// delays and integration methods.
#pragma once

struct Compiler;

// Subsystem 8 state.
struct Cont {
};
