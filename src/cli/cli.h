// The top: the order of the passes and the commands built on it. Nothing
// below calls these; tests and main do.
#pragma once
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

struct Compiler;

// ---- the order of the passes (passes.cpp)
// Every piece of translator state to its start value; the command line and
// the streams are kept.
void INITSTATE(Compiler& c);
void TRANSLATE(Compiler& c);  // every pass; throws ModelError / IoError
// The same on a model's text, read from no file.
void TRANSLATETEXT(Compiler& c, std::string_view text);

// ---- the translator's thread (stack.cpp)
// Stack of the thread a translation runs on, and the part of it the
// nesting levels may take (the rest is for the frames below and above
// them): MAXNESTING levels fit in every build, sanitizers included.
constexpr size_t TRANSLATORSTACK = size_t(64) << 20;
constexpr size_t NESTINGROOM = size_t(48) << 20;
// Runs f on a thread of its own with a stack of that many bytes and waits
// for it; what f throws is thrown again here.
void RUNONSTACK(size_t bytes, const std::function<void()>& f);

// ---- the commands (commands.cpp)
// The whole command: banner, run, messages, exit code. Used by main and tests.
int RUNTALVEN(const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err, std::istream& in, const std::string& root = "");
