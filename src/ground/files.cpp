// Files behind the channels: binding, opening, closing and erasing the
// channel files, the temporaries of a run and the witness file. Every file
// the translator creates or removes goes through here; relative names live
// in the run's directory.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include "ground/compiler.h"

namespace {
bool ISSEP(char ch) { return ch == '\\' || ch == '/'; }
}  // namespace

// Relative names live in the run's directory.
std::string FILEPATH(const Compiler& c, const std::string& name) {
  if (c.drv.root.empty() || name.empty() || name[0] == '/') return name;
  return c.drv.root + "/" + name;
}

std::string INPATH(const Compiler& c, const std::string& name) {
  if (c.drv.srcdir.empty()) return FILEPATH(c, name);
  if (name.empty() || name[0] == '/') return name;
  return c.drv.srcdir + "/" + name;
}

void BINDCH(Compiler& c, int ch, const std::string& name) {
  CLOSECH(c, ch);
  c.out.ch[ch].name = name;
}

static void OPENCH(Compiler& c, int ch, const char* mode) {
  Channel& x = c.out.ch[ch];
  x.f.reset();
  std::string path = FILEPATH(c, x.name);
  std::FILE* f = std::fopen(path.c_str(), mode);
  if (!f) throw IoError{x.name, std::strerror(errno)};
  x.f.reset(f);
  x.map = &c.out.maps[x.name];
}

// A new file starts a new map; an appended one goes on with its own.
void CREATECH(Compiler& c, int ch) {
  OPENCH(c, ch, "w");
  *c.out.ch[ch].map = LineMap();
}
void APPENDCH(Compiler& c, int ch) { OPENCH(c, ch, "a"); }

void CLOSECH(Compiler& c, int ch) { c.out.ch[ch].f.reset(); }

// A file still open is closed first, so erasing never leaves it behind.
void ERASECH(Compiler& c, int ch) {
  Channel& x = c.out.ch[ch];
  x.f.reset();
  x.map = nullptr;
  if (x.name.empty()) return;
  std::remove(FILEPATH(c, x.name).c_str());
  c.out.maps.erase(x.name);
}

void EMITLINE(Compiler& c, int ch, std::string_view text, const std::vector<Origin>& pieces) {
  Channel& x = c.out.ch[ch];
  if (!x.f) throw IoError{x.name.empty() ? "channel " + std::to_string(ch) : x.name,
                          "file not open"};
  if (std::fwrite(text.data(), 1, text.size(), x.f.get()) != text.size() ||
      std::fputc('\n', x.f.get()) == EOF)
    throw IoError{x.name, std::strerror(errno)};
  if (!x.map || x.map->gone) return;
  std::vector<Origin>& kept = x.map->pieces;
  std::vector<uint32_t>& first = x.map->first;
  size_t was = kept.size();
  first.push_back(static_cast<uint32_t>(was));
  // A line emptied behind the channel's back has no pieces of its own.
  if (text.empty()) return;
  // A piece that places every column as the one before it does (the
  // translator's text of the same source line, or that line's own text
  // going on where the one before left off) is not kept.
  const Origin* last = nullptr;
  for (const Origin& o : pieces) {
    if (last && o.line == last->line &&
        (o.srccol == 0 ? last->srccol == 0
                       : last->srccol > 0 && o.srccol - o.col == last->srccol - last->col))
      continue;
    kept.push_back(o);
    last = &kept.back();
  }
  // A line left with one piece of the translator's text, from the source
  // line the last line with pieces starts with, keeps none: a line without
  // pieces is placed as that one's start is, which is where this piece
  // places it too. Most lines then cost the map four bytes.
  if (kept.size() == was + 1 && was > 0 && kept[was].srccol == 0 &&
      kept[was].line == kept[was - 1].line) {
    auto f = std::lower_bound(first.begin(), first.end() - 1, static_cast<uint32_t>(was - 1));
    if (f != first.end() - 1 && *f == was - 1) kept.pop_back();
  }
}

void WRITELINE(Compiler& c, int ch, std::string_view text) {
  EMITLINE(c, ch, text, {PIECEORIGIN(c, text, 1)});
}

void COPYCH(Compiler& c, int from, int to, std::string_view trace) {
  CLOSECH(c, from);
  const std::string& name = c.out.ch[from].name;
  std::ifstream in(FILEPATH(c, name), std::ios::binary);
  if (!in) throw IoError{name, "cannot be read back"};
  auto m = c.out.maps.find(name);
  const LineMap* map = m == c.out.maps.end() ? nullptr : &m->second;
  std::vector<Origin> pieces;
  // A line without pieces is placed as the start of the last line with
  // pieces before it: that start goes with it, as a piece of its own.
  Origin carry;
  bool carried = false;
  size_t n = 0;
  for (std::string line; std::getline(in, line); ++n) {
    line = CUT(line, LINEMAX);
    if (!trace.empty()) TRACELN(c, trace, line);
    pieces.clear();
    if (map && n < map->first.size()) {
      size_t a = map->first[n];
      size_t b = n + 1 < map->first.size() ? map->first[n + 1] : map->pieces.size();
      pieces.assign(map->pieces.begin() + a, map->pieces.begin() + b);
      if (a < b) {
        carry = Origin();
        carry.line = map->pieces[a].line;
        carried = true;
      } else if (carried && !line.empty()) {
        pieces.push_back(carry);
      }
    }
    EMITLINE(c, to, line, pieces);
  }
  // A temporary is copied once, when its text has found its place: its
  // origins live on in the copy and are let go here, which halves the
  // maps of a large model. A temporary written again is created anew,
  // which starts a new map; lines only appended to it would have no
  // origin, never a wrong one.
  if (m != c.out.maps.end()) {
    m->second = LineMap();
    m->second.gone = true;
  }
}

ChMark MARKCH(Compiler& c, int ch) {
  Channel& x = c.out.ch[ch];
  if (!x.BUF.empty()) FLUSHOUT(c, ch);
  if (!x.f) throw IoError{x.name, "file not open"};
  std::fflush(x.f.get());
  return {std::ftell(x.f.get()), x.map ? x.map->first.size() : 0};
}

void TAKEBACKCH(Compiler& c, int ch, const ChMark& m) {
  Channel& x = c.out.ch[ch];
  x.BUF.clear();
  x.PEND.clear();
  std::fflush(x.f.get());
  std::error_code ec;
  std::filesystem::resize_file(FILEPATH(c, x.name), static_cast<std::uintmax_t>(m.bytes), ec);
  if (ec) throw IoError{x.name, ec.message()};
  if (std::fseek(x.f.get(), m.bytes, SEEK_SET) != 0) throw IoError{x.name, "seek failed"};
  if (x.map && m.lines < x.map->first.size()) {
    x.map->pieces.resize(x.map->first[m.lines]);
    x.map->first.resize(m.lines);
  }
}

// The directory of the source: the path up to and including its last
// separator ('\\' or '/'), empty when it has none. A dot in a directory name
// ("../models/bank.tlv") does not cut the prefix short.
std::string DIRPREFOF(std::string_view srcpath) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < srcpath.size(); ++i)
    if (ISSEP(srcpath[i])) last = i;
  if (last == std::string_view::npos) return "";
  return std::string(srcpath.substr(0, last + 1));
}

void OPENTEMPORARIES(Compiler& c) {
  const std::string& p = c.drv.DIRPREF;
  BINDCH(c, CH_MODINI, p + "MODINI");
  CREATECH(c, CH_MODINI);
  c.out.TRMODE = 1;
  BINDCH(c, CH_MODIN1, p + "MODIN1");
  CREATECH(c, CH_MODIN1);
  BINDCH(c, CH_MODPRO, p + "MODPRO");
  CREATECH(c, CH_MODPRO);
  BINDCH(c, CH_MODPRP, p + "MODPRP");
  CREATECH(c, CH_MODPRP);
  BINDCH(c, CH_MODAUX, p + "MODAUX");
  BINDCH(c, CH_MODLOG, p + "MODLOG");
  BINDCH(c, CH_MODEDI, p + "MODEDI");
  CREATECH(c, CH_MODEDI);
}

// A complete run closes what is still open, then erases every temporary.
void ENDTEMPORARIES(Compiler& c) {
  CLOSECH(c, CH_MODPRP);
  CLOSECH(c, CH_MODEDI);
  for (int ch : {CH_MODINI, CH_MODPRO, CH_MODPRP, CH_MODLOG, CH_MODIN1, CH_MODEDI, CH_MODAUX})
    ERASECH(c, ch);
}

void WRITEWITNESS(Compiler& c) {
  std::FILE* f = std::fopen(FILEPATH(c, c.drv.DIRPREF + "Testigo.TLQ").c_str(), "w");
  if (!f) return;
  std::fputs("Fin precompilacion\n", f);
  std::fclose(f);
}

// A failed run closes the temporaries, writes the witness, then erases
// them, each in its own order.
void ERRORCLEANUP(Compiler& c) {
  for (int ch : {CH_MODPRP, CH_MODEDI, CH_MODIN1, CH_MODINI, CH_MODPRO, CH_MODAUX, CH_MODLOG})
    CLOSECH(c, ch);
  WRITEWITNESS(c);
  REMOVETEMPORARIES(c);
}

void REMOVETEMPORARIES(Compiler& c) {
  for (int ch : {CH_MODINI, CH_MODPRO, CH_MODAUX, CH_MODLOG, CH_MODIN1, CH_MODEDI, CH_MODPRP})
    ERASECH(c, ch);
}
