// Pascal string literals: what the translator copies into a literal of the
// generated program (the model's path, a graph's title, a file's column
// labels) is quoted here, and split into whole literals joined by '+' when
// it would not fit an output line, since a literal cannot span lines.
// Called by the generators of INIT, the instructions and dBase tables.
#include "ground/literals.h"
#include "ground/compiler.h"

namespace {

// The text as one Pascal constant: printable characters inside quotes
// (a quote doubled), control characters outside them as #n.
std::string LITERAL(std::string_view text) {
  std::string d;
  bool open = false;
  for (char ch : text) {
    unsigned char u = static_cast<unsigned char>(ch);
    if (u < 32 || u == 127) {
      if (open) d += '\'';
      d += '#' + std::to_string(u);
      open = false;
      continue;
    }
    if (!open) d += '\'';
    open = true;
    d += ch;
    if (ch == '\'') d += ch;
  }
  if (open) d += '\'';
  return d.empty() ? "''" : d;
}

}  // namespace

std::vector<std::string> LITERALPIECES(std::string_view t, std::string_view text) {
  size_t star = t.find("'*'");
  std::string_view head = t.substr(0, star), tail = t.substr(star + 3);
  std::string whole = std::string(head) + LITERAL(text) + std::string(tail);
  if (whole.size() <= static_cast<size_t>(LINEMAX)) return {whole};
  const size_t width = PACKWIDTH;
  std::vector<std::string> pieces;
  std::string piece(head);
  if (piece.size() + 8 > width) {  // too little room left after the head
    pieces.push_back(piece);
    piece.clear();
  }
  // Each literal takes the characters that fit with its "+"; a chunk is
  // never longer than a line, so measuring it again costs little.
  std::string chunk;
  for (char ch : text) {
    chunk += ch;
    if (chunk.size() > 1 && piece.size() + LITERAL(chunk).size() + 1 > width) {
      chunk.pop_back();
      pieces.push_back(piece + LITERAL(chunk) + "+");
      piece.clear();
      chunk.assign(1, ch);
    }
  }
  piece += LITERAL(chunk);
  if (piece.size() + tail.size() > width) {
    pieces.push_back(piece);
    piece.clear();
  }
  pieces.push_back(piece + std::string(tail));
  return pieces;
}

std::string UNQUOTED(std::string_view written) {
  std::string t;
  for (size_t i = 0; i < written.size(); ++i) {
    t += written[i];
    if (written[i] == '\'' && i + 1 < written.size() && written[i + 1] == '\'') ++i;
  }
  return t;
}

void SENDLITERAL(Compiler& c, ChannelNo ch, Start first, std::string_view t, std::string_view text) {
  std::vector<std::string> pieces = LITERALPIECES(t, text);
  if (first == Start::OWNLINE && !c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i == 0 && first == Start::NEWLINE)
      NEWPIECE(c, ch, pieces[i]);
    else
      ADDPIECE(c, ch, pieces[i]);
  }
  if (first == Start::OWNLINE) FLUSHOUT(c, ch);
}
