// Output channels: nine numbered channels, each bound to a text file, that
// pack pieces of generated text into lines of at most 74 characters. Every
// generator writes through the piece routines, FLUSHOUT and SENDSRC; the
// line advance transmits source text through them.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include "ground/compiler.h"

// Text copied from the current line is found there: at TRSTART, where
// transmitted text starts, or elsewhere on the line when it is long enough
// not to be a chance match of a word of the translator's own.
Origin PIECEORIGIN(const Compiler& c, std::string_view piece, int col) {
  Origin o;
  o.col = static_cast<std::uint16_t>(std::min(col, 0xFFFF));
  const Source& s = c.src;
  if (s.lines.empty()) return o;
  o.line = s.LB;
  if (piece.empty()) return o;
  // Most pieces are the translator's own text: the cell at TRSTART, which
  // the scanner has at hand, tells most of them at once.
  int t = c.out.TRSTART;
  bool there = t >= 1 && t <= LINECELLS && s.at(t) == piece[0];
  std::string_view text = there || piece.size() >= 3 ? s.line().text() : std::string_view();
  if (there) {
    // The cells holding the line's text are that text: compared at once.
    // Past it (blanks, then the end marker) cell by cell.
    size_t from = static_cast<size_t>(t - 1);
    size_t within = from < text.size() ? std::min(piece.size(), text.size() - from) : 0;
    there = within == 0 || text.compare(from, within, piece.data(), within) == 0;
    for (size_t i = within; there && i < piece.size(); ++i)
      there = s.at(t + static_cast<int>(i)) == piece[i];
  }
  if (there) {
    o.srccol = static_cast<std::uint16_t>(t);
  } else if (piece.size() >= 3) {
    // Blanks the line advance put past the text are not in it.
    std::string_view words = piece.substr(0, piece.find_last_not_of(' ') + 1);
    size_t p = text.find(words);
    if (!words.empty() && p != std::string_view::npos) o.srccol = static_cast<std::uint16_t>(p + 1);
  }
  return o;
}

// The piece joins channel x's pending line at its end.
static void PENDPIECE(Compiler& c, Channel& x, std::string_view piece) {
  if (x.BUF.empty()) x.PEND.clear();
  x.PEND.push_back(PIECEORIGIN(c, piece, static_cast<int>(x.BUF.size()) + 1));
}

// A piece is never split: it joins the line when both fit in 74 characters,
// otherwise the line is written and the piece starts the next one. The
// piece is read where it lies (cut to 81): no copy of it is made, unless it
// lies in the very line it joins.
static void SENDOUT(Compiler& c, ChannelNo ch, std::string_view piece, bool force) {
  Channel& x = c.out.ch[ch];
  std::string& buf = x.BUF;
  piece = piece.substr(0, LINEMAX);
  std::less<const char*> before;
  if (!piece.empty() && !before(piece.data(), buf.data()) &&
      before(piece.data(), buf.data() + buf.capacity())) {
    std::string own(piece);
    SENDOUT(c, ch, own, force);
    return;
  }
  if (force || buf.size() + piece.size() > PACKWIDTH) {
    EMITLINE(c, ch, buf, x.PEND.data(), x.PEND.size());
    TRACELN(c, "TR.LIN  ", buf);
    buf.clear();
  }
  PENDPIECE(c, x, piece);
  buf += piece;
  if (c.drv.TRACE) {
    TRACELN(c, "A BUF ", CHNUM(ch), ' ', piece);
    TRACEWAIT(c);
  }
}

void FLUSHOUT(Compiler& c, ChannelNo ch) {
  Channel& x = c.out.ch[ch];
  EMITLINE(c, ch, x.BUF, x.PEND.data(), x.PEND.size());
  x.BUF.clear();
  x.PEND.clear();
}

// Source text of the current line from TRSTART up to column k-1: the
// line's own text where it reaches, blanks and the end marker past it.
void SENDSRC(Compiler& c, int k, ChannelNo ch) {
  int from = c.out.TRSTART;
  int n = k > from ? k - from : 0;
  if (n == 0 || (from >= 1 && k - 1 <= c.src.line().len())) {
    SENDOUT(c, ch, n == 0 ? std::string_view() : c.src.line().text().substr(from - 1, n), false);
    return;
  }
  std::string s;
  s.reserve(n);
  for (int i = from; i < k; ++i) s += c.src.at(i);
  SENDOUT(c, ch, s, false);
}

// t with every x replaced by r. Replacing the first x again and again,
// cutting to 81 each time, comes to one pass from the left: a replacement
// is never searched again, and what a cut drops is never seen by a later
// one.
std::string REPL(std::string_view t, char x, std::string_view r) {
  std::string d = FILLIN(t.substr(0, LINEMAX), {{x, r.substr(0, LINEMAX)}});
  if (d.size() > LINEMAX) d.resize(LINEMAX);
  return d;
}

namespace {
// Calls hit(i, value) for every placeholder of t, left to right; where two
// slots name the same character the last one counts. Placeholders are told
// apart from text by a set of 256 bits, so the template is read once
// however many slots there are.
template <class F>
void EACHSLOT(std::string_view t, std::initializer_list<Slot> slots, F hit) {
  if (slots.size() == 1) {  // most templates: the placeholder found by memchr
    const Slot& g = *slots.begin();
    for (size_t i = t.find(g.x); i != std::string_view::npos; i = t.find(g.x, i + 1)) hit(i, g.r);
    return;
  }
  std::uint64_t marks[4] = {};
  for (const Slot& g : slots) {
    auto u = static_cast<unsigned char>(g.x);
    marks[u >> 6] |= std::uint64_t{1} << (u & 63);
  }
  for (size_t i = 0; i < t.size(); ++i) {
    auto u = static_cast<unsigned char>(t[i]);
    if (!((marks[u >> 6] >> (u & 63)) & 1)) continue;
    const Slot* f = nullptr;
    for (const Slot& g : slots)
      if (g.x == t[i]) f = &g;
    hit(i, f->r);
  }
}

// s copied to o; where it ends.
char* COPY(char* o, std::string_view s) {
  std::char_traits<char>::copy(o, s.data(), s.size());
  return o + s.size();
}
}  // namespace

// Runs without a placeholder are copied whole. The placeholders' places
// are noted first, so that the text is made at its full length at once
// and copied in, never grown: one allocation at most, one copy of each run.
std::string FILLIN(std::string_view t, std::initializer_list<Slot> slots) {
  struct Hit {  // left unset until noted
    size_t at;
    const char* r;
    size_t len;
  };
  constexpr size_t NOTED = 32;  // more placeholders than this (none so far): grown
  Hit hits[NOTED];
  size_t n = 0, size = t.size();
  EACHSLOT(t, slots, [&](size_t at, std::string_view r) {
    if (n < NOTED) hits[n] = {at, r.data(), r.size()};
    ++n;
    size += r.size();
    size -= 1;
  });
  size_t from = 0;
  if (n > NOTED) {
    std::string d;
    d.reserve(size);
    EACHSLOT(t, slots, [&](size_t at, std::string_view r) {
      d.append(t.substr(from, at - from)).append(r);
      from = at + 1;
    });
    d.append(t.substr(from));
    return d;
  }
  std::string d(size, '\0');
  char* o = &d[0];
  for (size_t k = 0; k < n; ++k) {
    o = COPY(o, t.substr(from, hits[k].at - from));
    o = COPY(o, {hits[k].r, hits[k].len});
    from = hits[k].at + 1;
  }
  COPY(o, t.substr(from));
  return d;
}

void SENDPIECE(Compiler& c, ChannelNo ch, std::string_view piece, bool force) {
  SENDOUT(c, ch, piece, force);
}

void SEND(Compiler& c, std::string_view piece, bool force) {
  SENDOUT(c, c.out.CURCH, piece, force);
}

void NEWPIECE(Compiler& c, ChannelNo ch, std::string_view piece) {
  Channel& x = c.out.ch[ch];
  if (x.BUF.empty()) {
    piece = piece.substr(0, LINEMAX);
    PENDPIECE(c, x, piece);
    x.BUF.assign(piece);
  } else {
    SENDOUT(c, ch, piece, true);
  }
}

void STARTPIECE(Compiler& c, ChannelNo ch, std::string_view piece) {
  SENDOUT(c, ch, piece, !c.out.ch[ch].BUF.empty());
}

void ADDPIECE(Compiler& c, ChannelNo ch, std::string_view piece) { SENDOUT(c, ch, piece, false); }

namespace {
bool SAMENAME(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view BASENAME(std::string_view p) {
  size_t s = p.find_last_of("/\\");
  return s == std::string_view::npos ? p : p.substr(s + 1);
}
}  // namespace

const LineMap* MAPOF(const Compiler& c, std::string_view file) {
  for (const auto& [name, m] : c.out.maps)
    if (SAMENAME(BASENAME(name), BASENAME(file))) return &m;
  return nullptr;
}

// A line without pieces (written empty) belongs with the one before it.
// Text of the translator's own points at the start of its source line.
Place ORIGINOF(const Compiler& c, const std::string& file, int line, int col) {
  const LineMap* map = MAPOF(c, file);
  if (!map || line < 1 || static_cast<size_t>(line) > map->first.size()) return {};
  size_t n = static_cast<size_t>(line);
  auto end = [&](size_t i) { return i < map->first.size() ? map->first[i] : map->pieces.size(); };
  while (n > 0 && map->first[n - 1] == end(n)) --n;
  if (n == 0) return {};
  size_t a = map->first[n - 1], b = end(n);
  const Origin* o = &map->pieces[a];
  if (n == static_cast<size_t>(line))
    for (size_t i = a; i < b; ++i)
      if (map->pieces[i].col <= col) o = &map->pieces[i];
  Place p;
  int stored = static_cast<int>(c.src.lines.size()) - 1;  // without the sentinel
  p.line = std::min(o->line, stored);
  if (p.line < 1) return {};
  if (o->srccol > 0 && n == static_cast<size_t>(line)) {
    p.col = o->srccol + (col - o->col);
    p.copied = true;
  } else {
    std::string_view text = c.src.lines[p.line - 1].text();
    size_t k = text.find_first_not_of(' ');
    p.col = k == std::string_view::npos ? 1 : static_cast<int>(k) + 1;
  }
  return p;
}
