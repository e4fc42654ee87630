// The top: the order of the passes and the commands built on it. Nothing
// below calls these; tests and main do.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

struct Compiler;

// ---- the order of the passes (passes.cpp)
// Every piece of translator state to its start value; the command line and
// the streams are kept.
void INITSTATE(Compiler& c);
void TRANSLATE(Compiler& c);  // every pass; throws ModelError / IoError

// ---- the commands (commands.cpp)
// The whole command: banner, run, messages, exit code. Used by main and tests.
int RUNTALVEN(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, std::istream& in, const std::string& root = "");
