// Pascal string literals for texts the translator copies into the
// generated program: paths, titles, labels and names.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Compiler;
enum class ChannelNo : std::uint8_t;

// The template t with its '*' in quotes ('*', once) replaced by text as a
// Pascal string literal: quotes doubled, control characters as #n. One
// piece when it fits an output line (the usual case); otherwise pieces of
// at most 74 characters, each holding whole literals joined by '+', so
// that no literal is ever cut by a line.
std::vector<std::string> LITERALPIECES(std::string_view t, std::string_view text);
// The text of a string constant of the source ('' for each quote) as the
// characters it stands for.
std::string UNQUOTED(std::string_view written);
// Emission of those pieces on channel ch: the first as FIRST does (a new
// line, or packed), the others packed after it.
enum class Start { NEWLINE, PACKED, OWNLINE };
void SENDLITERAL(Compiler& c, ChannelNo ch, Start first, std::string_view t, std::string_view text);
