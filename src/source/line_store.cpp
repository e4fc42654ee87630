// Source line store: reads the model up to the "END." line into line
// records (CREALIN) and owns the line advance (VERFLIN), which transmits the
// finished line to the output, skips empty lines and passes '#' lines.
// Sets PL, K, LB; reads the copy flags that the translating passes set.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include "ground/compiler.h"
#include "source/source.h"
#include "ground/text.h"

void LineStore::clear(char eol) {
  hand.row = -1;
  BLOCKS.clear();
  recs.clear();
  WIDE.clear();
  fill = eol;
}

bool LineStore::add(std::string_view text) {
  hand.row = -1;
  size_t n = std::min<size_t>(text.size(), LINETEXT);
  if (BLOCKS.empty() || BLOCKS.back().size() + n > BLOCK) {
    if (BLOCKS.size() >= UINT32_MAX / BLOCK) return false;
    BLOCKS.emplace_back();
    BLOCKS.back().reserve(BLOCK);
  }
  if (recs.size() >= INT_MAX) return false;
  std::string& b = BLOCKS.back();
  std::uint32_t at = static_cast<std::uint32_t>((BLOCKS.size() - 1) * BLOCK + b.size());
  recs.push_back({at, static_cast<std::uint8_t>(n), 0, false});
  b.append(text.data(), n);
  return true;
}

// The line advance blanks the marker after the text, one cell further on
// each walk: a count does for that. Any other write past the text gives
// the line cells of its own.
void LineStore::put(int row, int k, char ch) {
  if (k < 1 || k > LINECELLS || at(row, k) == ch) return;
  Rec& r = recs[row];
  if (!r.wide && k <= r.len) {
    BLOCKS[r.at / BLOCK][r.at % BLOCK + k - 1] = ch;
  } else if (!r.wide && ch == ' ' && k == r.len + r.blanks + 1) {
    r.blanks++;
  } else {
    if (!r.wide) {
      std::array<char, LINECELLS> cells;
      for (int i = 1; i <= LINECELLS; ++i) cells[i - 1] = at(row, i);
      WIDE.push_back(cells);
      r.at = static_cast<std::uint32_t>(WIDE.size() - 1);
      r.wide = true;
    }
    WIDE[r.at][k - 1] = ch;
  }
  hand.row = -1;  // the row changed under the one at hand
}

void LineStore::clean(int row) {
  const Rec& r = recs[row];
  char* t = r.wide ? WIDE[r.at].data() : BLOCKS[r.at / BLOCK].data() + r.at % BLOCK;
  int i = 0;
  // Eight characters at a time while they are all plain ASCII from the
  // blank on: no high bit set, and none below 32.
  constexpr std::uint64_t ONES = ~std::uint64_t(0) / 255, HIGH = ONES * 128;
  for (; i + 8 <= r.len; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, t + i, 8);
    if ((x & HIGH) != 0 || ((x - ONES * 32) & ~x & HIGH) != 0) break;
  }
  for (; i < r.len; ++i) {
    // codes 32..172 map to 0..140, every other code above
    if (static_cast<unsigned char>(t[i] - 32) > 140) t[i] = ' ';
  }
}

namespace {

// The lines of a text in memory or of a file read in blocks, one at a
// time; CR LF counts as LF. A file's line longer than a block is handed
// over cut (the store keeps 80 characters anyway).
class TextLines {
 public:
  explicit TextLines(std::string_view text) : buf(text), end(text.size()), eof(true) {}
  TextLines(std::FILE* f, const std::string& path) : file(f), name(path), block(BLOCK) {}

  // Characters left to read.
  bool more() {
    if (pos < end || eof) return pos < end;
    FILL();
    return pos < end;
  }
  // The next line (empty at the end).
  std::string_view next() {
    for (;;) {
      const char* p = end > pos ? static_cast<const char*>(std::memchr(buf.data() + pos, '\n', end - pos))
                                : nullptr;
      if (p || eof) {
        size_t stop = p ? static_cast<size_t>(p - buf.data()) : end;
        std::string_view line = buf.substr(pos, stop - pos);
        pos = p ? stop + 1 : end;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
      }
      if (pos == 0 && end == block.size()) return LONGLINE();
      FILL();
    }
  }

 private:
  static constexpr size_t BLOCK = 1 << 16;

  // Moves what is left to the front of the block and reads after it.
  void FILL() {
    std::memmove(block.data(), block.data() + pos, end - pos);
    end -= pos;
    pos = 0;
    size_t n = std::fread(block.data() + end, 1, block.size() - end, file);
    if (n == 0 && std::ferror(file)) throw IoError{name, std::strerror(errno)};
    end += n;
    eof = n == 0;
    buf = std::string_view(block.data(), block.size());
  }
  // A line filling the whole block: its start is kept, the rest skipped.
  std::string_view LONGLINE() {
    held.assign(block.data(), LINETEXT + 1);
    for (;;) {
      pos = end;
      FILL();
      const char* p = static_cast<const char*>(std::memchr(block.data(), '\n', end));
      if (p) {
        pos = static_cast<size_t>(p - block.data()) + 1;
        return held;
      }
      if (eof) return held;
    }
  }

  std::FILE* file = nullptr;
  std::string name;
  std::vector<char> block;
  std::string_view buf;  // the text, or the block
  std::string held;      // the start of a line longer than a block
  size_t pos = 0, end = 0;
  bool eof = false;
};

// Text past column 80 is dropped; say so unless it is only blanks. (The
// title line, never read, is not checked.)
bool CUTOFF(std::string_view text) {
  return text.size() > static_cast<size_t>(LINETEXT) &&
         text.find_first_not_of(" \t", LINETEXT) != std::string_view::npos;
}

void ADDLINE(Compiler& c, std::string_view text) {
  if (!c.src.lines.add(text)) ERROR(c, "model too large");
}

void BUILDSTORE(Compiler& c, TextLines& in) {
  Source& s = c.src;
  s.IDENT.clear();
  c.out.TRANSMIT = false;
  c.out.TRMODE = 0;
  s.lines.clear(s.EOLCH);
  ADDLINE(c, in.next());  // stored as read
  s.PL = 0;
  s.LB = 1;
  // The first four characters of the last line that has them; only the
  // last is kept in IDENT.
  char word[4] = {};
  bool haveword = false;
  auto ended = [&] { return haveword && std::string_view(word, 4) == "END."; };
  while (in.more() && !ended()) {
    std::string_view text = in.next();
    ADDLINE(c, text);
    s.PL = static_cast<int>(s.lines.size()) - 1;
    s.LB++;
    if (CUTOFF(text)) {
      s.K = LINETEXT + 1;
      WARNING(c, "line longer than 80 characters: the rest is ignored");
    }
    s.lines.clean(s.PL);
    std::string_view t = s.lines.text(s.PL);
    if (t.size() < 4) continue;
    size_t first = std::min(t.find_first_not_of(' '), t.size());
    s.K = static_cast<int>(first) + 1;
    if (t.size() - first <= 3) continue;
    for (int i = 0; i < 4; ++i) word[i] = UPPER(t[first + i]);
    haveword = true;
  }
  if (haveword) s.IDENT.assign(word, 4);
  if (!ended()) ERROR(c, "END. missing or misplaced");
  ADDLINE(c, "$");
  if (c.drv.TRACE) {
    TRACELN(c, " CREADAS LINEAS");
    for (size_t i = 0; i < s.lines.size(); ++i) TRACELN(c, s.lines.text(static_cast<int>(i)));
    TRACEWAIT(c);
  }
  s.PL = 0;
}

}  // namespace

void CREALINFROM(Compiler& c, std::string_view content) {
  TextLines in(content);
  BUILDSTORE(c, in);
}

void CREALIN(Compiler& c) {
  TRACELN(c, "ENTRADA A CREALIN");
  TRACEWAIT(c);
  const std::string& path = c.drv.SRCPATH;
  // A FIFO without a writer would wait for ever, a directory or a device
  // is no model: only a regular file is read.
  std::error_code ec;
  auto kind = std::filesystem::status(INPATH(c, path), ec).type();
  if (!ec && kind != std::filesystem::file_type::regular)
    throw IoError{path, "not a regular file"};
  std::FILE* f = std::fopen(INPATH(c, path).c_str(), "rb");
  if (!f) throw IoError{path, std::strerror(errno)};
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(f, std::fclose);
  TextLines in(f, path);
  BUILDSTORE(c, in);
}

// Characters of the current line from column a up to column b, into t.
static void CELLS(const Compiler& c, int a, int b, std::string& t) {
  const Source& s = c.src;
  t.clear();
  int i = a;
  for (; i <= b && i < 1; ++i) t += s.at(i);
  int n;
  const char* p = s.lines.cells(s.PL, n);  // the text at once, then the rule
  if (i <= std::min(b, n)) {
    t.append(p + i - 1, static_cast<size_t>(std::min(b, n) - i + 1));
    i = std::min(b, n) + 1;
  }
  for (; i <= b; ++i) t += s.at(i);
}

// The finished line's rest goes to CURCH while transmitting; otherwise the
// declaration-time rules copy whole lines or procedure text.
static void TRANSMITLINE(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  if (o.TRANSMIT && (!s.INPROC || s.LOCALDECL)) {
    std::string& rest = s.LINEREST;
    CELLS(c, o.TRSTART, s.K - 1, rest);
    SENDPIECE(c, o.CURCH, rest, true);
    FLUSHOUT(c, o.CURCH);
    o.TRSTART = 1;
    if (s.MSGVAR && s.MSGAUX && !s.AUXOFF) {
      SENDPIECE(c, CH_MODAUX, rest, false);
      FLUSHOUT(c, CH_MODAUX);
    }
    return;
  }
  if (o.TRMODE != 1) return;
  if (s.DECLCOPY && !s.INPROC && !s.DBDECL) {
    s.PRULINES++;
    WRITELINE(c, CH_PRU, s.line().text());
  }
  if (s.INPROC) {
    std::string& rest = s.LINEREST;
    CELLS(c, o.TRSTART, s.K - 1, rest);
    SENDPIECE(c, o.CURCH, rest, true);
    o.TRSTART = 1;
    FLUSHOUT(c, o.CURCH);
    TRACELN(c, "TRANSMITIDA LINEA DE PROCP O FUNCP");
    if (s.HEADER) {
      TRACELN(c, "SI ES ENC.VA TAMBIEN A INTERFACE");
      SENDPIECE(c, CH_PRU, rest, true);
    }
  }
}

// Moves to the next stored line; the sentinel has no successor.
static void NEXTLINE(Source& s) {
  if (s.PL + 1 < static_cast<int>(s.lines.size())) s.PL++;
  s.LB++;
}

void VERFLIN(Compiler& c) {
  Source& s = c.src;
  if (s.at(s.K) != s.EOLCH) return;
  TRACELN(c, "ENTRADA A VERFLIN LINEA ", s.LB, ' ', s.line().text());
  s.line().put(s.K, ' ');
  s.K++;
  TRANSMITLINE(c);
  TRACELN(c, "LINEA TERM. LB ", s.LB, ' ', s.line().text());
  do {
    NEXTLINE(s);
    TRACELN(c, "LINEA SIG . LB ", s.LB, ' ', s.line().text());
    if (s.at(1) == '$') ERROR(c, "unexpected end of program");
    s.K = 0;
  } while (s.at(1) == s.EOLCH);
  while (s.at(1) == '#') {
    if (c.out.CURCH != CH_PRU || s.HASHTOPRU) {
      SENDPIECE(c, c.out.CURCH, s.line().text().substr(1), false);
      FLUSHOUT(c, c.out.CURCH);
    }
    NEXTLINE(s);
  }
}

std::string SOURCETEXT(const Compiler& c, int pl0, int k0, int pl1, int k1) {
  const LineStore& l = c.src.lines;
  auto part = [&](int pl, int from, int to) {  // columns from..to-1
    std::string_view t = l[pl].text();
    size_t a = std::min<size_t>(std::max(from, 1) - 1, t.size());
    size_t b = std::min<size_t>(std::max(to, 1) - 1, t.size());
    return std::string(t.substr(a, b > a ? b - a : 0));
  };
  if (pl0 == pl1) return part(pl0, k0, k1);
  std::string t = part(pl0, k0, LINECELLS + 1);
  for (int p = pl0 + 1; p < pl1; ++p) t += " " + std::string(l[p].text());
  return t + " " + part(pl1, 1, k1);
}
