// Continuous simulation: continuous variables, differential equations,
// delays and integration methods.
//
// A variable's position in Cont::VARS is its place in the vector _y that
// the integrators work on. Equations become the cases of _fec on channel 8
// (MODEDI); each group of equations is integrated by one call (_rkf, _eul
// or _rk4) in the C node's procedure.
//
// The target compiler gives every global variable a section of its own,
// aligned to 16 bytes, so a vector laid "absolute" over the first
// continuous variable does not reach the others. The integrators
// therefore reach the variables through a table of their addresses (_yp,
// by place; _ore gives each equation its variable's place): every stage
// is written into the variables themselves, where _fec reads it, and
// nothing is copied around a call.
//
// The variables are read by the declarations, which give each its place
// in _y (decl/continuous.cpp, routines in decl/decl.h); the equations are
// statements (TranslateEquation, CloseEquationGroup, EquationGroupOpen,
// TranslateMethod, TranslateRetard, reached from the dispatcher). Also:
// - the node pass calls StartContinuousNode before a C node's code and
//   closes a group left open at its end (EquationGroupOpen/CloseEquationGroup);
// - ACT calls TranslateContinuousAct for a C node;
// - the organisation calls WriteContinuousVector and, inside _com,
//   DeclareContinuousNode;
// - the INIT pass calls WriteOrderConstant at its end and writes TOLERANCES.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>
#include "continuous/continuous_state.h"

struct Compiler;

// ---- equations, groups, methods, delays, activation (equations.cpp)
// The statements of equations and their groups, reached from the
// dispatcher.
void TranslateMethod(Compiler& c);
void TranslateRetard(Compiler& c);
void TranslateEquation(Compiler& c);
void CloseEquationGroup(Compiler& c);
bool EquationGroupOpen(Compiler& c);
// Before a C node's code: its name for the equations, method back to RKF.
void StartContinuousNode(Compiler& c, int node);
// ACT(X, delay) of C node `node`, entered past the ","; reads the delay and
// the ")".
void TranslateContinuousAct(Compiler& c, int node);
