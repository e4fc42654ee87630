// Statements and instructions: the statement translator used for node
// code, INIT and procedures, and the simulation instructions.
#pragma once

struct Compiler;

// Subsystem 7 state.
struct Stmt {
};
