// Files behind the channels. Every file a run writes is bound to channels
// by name and held in memory (Out::files): the temporaries never reach the
// disk. The outputs are written under a new name beside their place, each
// write checked, and renamed into place by COMMITOUTPUTS only when the
// whole translation has succeeded; a run that will commit (Driver::
// STREAMOUT) writes them to those new files as they are made instead of
// holding them whole, and a write fault waits for the commit to be told.
// So a run that fails leaves the files of the last good one as they were,
// and no name among the user's files is ever used for a temporary.
// Relative names live in the run's directory.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <chrono>
#include <cstdint>
#include "ground/compiler.h"

namespace fs = std::filesystem;

namespace {
bool ISSEP(char ch) { return ch == '\\' || ch == '/'; }

constexpr const char* WITNESS = "Testigo.TLQ";
constexpr const char* WITNESSTEXT = "Fin precompilacion\n";

// An output on its way to its place, by way of a new file beside it.
struct Output {
  std::string name;       // as the run names it (and messages show it)
  std::string_view text;  // what it holds
  fs::path place;           // where it goes
  fs::path fresh;           // the new file, once written
};

// A new file beside place, under a name of its own, created only if no
// file has that name (nothing there is ever opened or followed). The name
// need only be unlikely to be taken, since a taken one is refused and the
// next try draws again: clocks and an address mixed cost nothing, where a
// random device probes the processor each time, longer than translating a
// small model takes.
std::FILE* FRESHFILE(const fs::path& place, fs::path& fresh) {
  using namespace std::chrono;
  std::uint64_t draw =
      static_cast<std::uint64_t>(steady_clock::now().time_since_epoch().count()) ^
      static_cast<std::uint64_t>(system_clock::now().time_since_epoch().count()) * 31 ^
      reinterpret_cast<std::uintptr_t>(&fresh);
  for (int tries = 0; tries < 100; ++tries) {
    draw += 0x9E3779B97F4A7C15ull;  // splitmix64
    std::uint64_t z = draw;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    char suffix[20];
    std::snprintf(suffix, sizeof suffix, "%012llx",
                  static_cast<unsigned long long>(z & 0xFFFFFFFFFFFFull));
    fresh = place.parent_path() / ("." + place.filename().string() + ".talven-" + suffix);
    std::FILE* f = std::fopen(fresh.c_str(), "wbx");
    if (f || errno != EEXIST) return f;
  }
  return nullptr;
}

// The text as a new file beside place: "" once it is written, flushed and
// closed without a fault, else why not (and no file is left).
std::string WRITEBESIDE(const fs::path& place, std::string_view text, fs::path& fresh) {
  errno = 0;
  std::FILE* f = FRESHFILE(place, fresh);
  if (!f) {
    fresh.clear();
    return std::strerror(errno ? errno : EEXIST);
  }
  int fault = 0;
  if (std::fwrite(text.data(), 1, text.size(), f) != text.size()) fault = errno;
  if (std::fflush(f) != 0 && !fault) fault = errno;
  if (std::fclose(f) != 0 && !fault) fault = errno;
  if (!fault) return "";
  std::error_code ec;
  fs::remove(fresh, ec);
  fresh.clear();
  return std::strerror(fault);
}

// The model's source is that file (a link to it, or another name of it).
bool ISSOURCE(const Compiler& c, const fs::path& p) {
  std::error_code ec;
  return fs::equivalent(INPATH(c, c.drv.SRCPATH), p, ec) && !ec;
}

std::vector<Output> OUTPUTSOF(const Compiler& c, const std::string& witnessname) {
  std::vector<Output> out;
  for (const auto& [name, text] : c.out.files) out.push_back({name, text, FILEPATH(c, name), {}});
  out.push_back({witnessname, WITNESSTEXT, FILEPATH(c, witnessname), {}});
  return out;
}

void DROPFRESH(std::vector<Output>& out) {
  std::error_code ec;
  for (Output& o : out)
    if (!o.fresh.empty()) fs::remove(o.fresh, ec);
}

// Text an output holds beyond this goes to its file: two outputs are open
// at a time, so the run holds little of its program.
constexpr size_t STREAMCHUNK = 256 * 1024;

// Only the program's own files go out as they are made; the temporaries
// are read back and copied, so they stay in memory.
bool ISOUTPUTCH(ChannelNo ch) { return ch == CH_PRU || ch == CH_NODE; }

// Why the last call failed, as the commit tells it.
std::string LASTFAULT() { return std::strerror(errno ? errno : EIO); }

// A stream's file closed and removed: the run will not commit it.
void REMOVESTREAM(Stream& s) {
  if (s.f) std::fclose(s.f);
  s.f = nullptr;
  std::error_code ec;
  fs::remove(s.fresh, ec);
}

// The text so far to the stream's file, and let go. After a fault nothing
// more is written: the commit reports it, and nothing is renamed.
void SPILL(Stream& s, std::string& text) {
  if (s.fault.empty() && s.f && !text.empty() &&
      std::fwrite(text.data(), 1, text.size(), s.f) != text.size())
    s.fault = LASTFAULT();
  s.written += text.size();
  text.clear();
}

void CLOSESTREAM(Stream& s, std::string& text) {
  SPILL(s, text);
  if (s.f && std::fclose(s.f) != 0 && s.fault.empty()) s.fault = LASTFAULT();
  s.f = nullptr;
  std::string().swap(text);
}

// A channel's output, from the start (create) or where it stands (append),
// by way of its stream; a file that cannot be opened keeps its text in
// memory, and the commit meets the same fault.
void OPENSTREAM(Compiler& c, Channel& x, bool create) {
  auto& by = c.out.streams.by;
  auto it = by.find(x.name);
  if (it == by.end()) {
    if (!create) return;  // appended to from memory, as it was made
    Stream s;
    fs::path fresh;
    s.f = FRESHFILE(FILEPATH(c, x.name), fresh);
    if (!s.f) return;
    s.fresh = fresh.string();
    it = by.emplace(x.name, std::move(s)).first;
  } else if (!it->second.f && it->second.fault.empty()) {
    it->second.f = std::fopen(it->second.fresh.c_str(), create ? "wb" : "ab");
    if (!it->second.f) it->second.fault = LASTFAULT();
    if (create) it->second.written = 0;
  }
  x.stream = &it->second;
}

// Whether piece i of a map starts a line, its last line just begun (first
// ends with it, past i). The line sought is most often among the last few
// (after it only lines whose pieces were all dropped): searched from the
// end in growing steps.
bool LINESTART(const std::vector<uint32_t>& first, size_t i) {
  size_t hi = first.size() - 1;  // first[hi] > i
  for (size_t step = 1;; step *= 2) {
    size_t p = hi > step ? hi - step : 0;
    if (first[p] <= i) {
      auto f = std::lower_bound(first.begin() + p, first.begin() + hi, static_cast<uint32_t>(i));
      return *f == i;
    }
    if (p == 0) return false;
    hi = p;
  }
}

void UNSTREAM(Compiler& c) {
  for (Channel& x : c.out.ch) x.stream = nullptr;
  c.out.streams.DROP();
}
}  // namespace

void Streams::DROP() {
  for (auto& [name, s] : by) REMOVESTREAM(s);
  by.clear();
}

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

void BINDCH(Compiler& c, ChannelNo ch, const std::string& name) {
  CLOSECH(c, ch);
  c.out.ch[ch].name = name;
}

// A new file starts empty with a new map; an appended one goes on with
// its own text and map.
void CREATECH(Compiler& c, ChannelNo ch) {
  Channel& x = c.out.ch[ch];
  CLOSECH(c, ch);
  x.text = &c.out.files[x.name];
  x.text->clear();
  x.map = &c.out.maps[x.name];
  *x.map = LineMap();
  if (c.drv.STREAMOUT && ISOUTPUTCH(ch)) OPENSTREAM(c, x, true);
}

void APPENDCH(Compiler& c, ChannelNo ch) {
  Channel& x = c.out.ch[ch];
  CLOSECH(c, ch);
  x.text = &c.out.files[x.name];
  x.map = &c.out.maps[x.name];
  if (x.map->gone) throw IoError{x.name, "appended to after it was copied"};
  if (c.drv.STREAMOUT && ISOUTPUTCH(ch)) OPENSTREAM(c, x, false);
}

void CLOSECH(Compiler& c, ChannelNo ch) {
  Channel& x = c.out.ch[ch];
  if (x.stream && x.text) {
    CLOSESTREAM(*x.stream, *x.text);
    // Its map stays for the whole run, and a large model writes hundreds.
    if (x.map) {
      x.map->pieces.shrink_to_fit();
      x.map->first.shrink_to_fit();
    }
  }
  x.stream = nullptr;
  x.text = nullptr;
}

void ERASECH(Compiler& c, ChannelNo ch) {
  Channel& x = c.out.ch[ch];
  x.text = nullptr;
  x.map = nullptr;
  x.stream = nullptr;
  if (x.name.empty()) return;
  c.out.files.erase(x.name);
  c.out.maps.erase(x.name);
  if (auto it = c.out.streams.by.find(x.name); it != c.out.streams.by.end()) {
    REMOVESTREAM(it->second);
    c.out.streams.by.erase(it);
  }
}

// The channel's open file, or the fault of writing to a closed one.
static std::string& OPENTEXT(Compiler& c, ChannelNo ch) {
  Channel& x = c.out.ch[ch];
  if (!x.text) throw IoError{x.name.empty() ? "channel " + std::to_string(CHNUM(ch)) : x.name,
                             "file not open"};
  return *x.text;
}

void WRITETEXT(Compiler& c, ChannelNo ch, std::string_view text) {
  std::string& t = OPENTEXT(c, ch);
  t.append(text);
  Channel& x = c.out.ch[ch];
  if (x.stream && t.size() >= STREAMCHUNK) SPILL(*x.stream, t);
}

void EMITLINE(Compiler& c, ChannelNo ch, std::string_view text, const Origin* pieces, size_t n) {
  std::string& out = OPENTEXT(c, ch);
  Channel& x = c.out.ch[ch];
  out.append(text);
  if (x.stream && out.size() >= STREAMCHUNK) SPILL(*x.stream, out);
  out.push_back('\n');
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
  for (const Origin* p = pieces; p != pieces + n; ++p) {
    const Origin& o = *p;
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
      kept[was].line == kept[was - 1].line && LINESTART(first, was - 1))
    kept.pop_back();
}

void WRITELINE(Compiler& c, ChannelNo ch, std::string_view text) {
  Origin o = PIECEORIGIN(c, text, 1);
  EMITLINE(c, ch, text, &o, 1);
}

void COPYCH(Compiler& c, ChannelNo from, ChannelNo to, std::string_view trace) {
  CLOSECH(c, from);
  const std::string& name = c.out.ch[from].name;
  auto it = c.out.files.find(name);
  if (it == c.out.files.end() || c.out.streams.by.count(name))
    throw IoError{name, "cannot be read back"};
  // Entries of the maps stay where they are while others grow.
  std::string& t = it->second;
  if (&t == c.out.ch[to].text) throw IoError{name, "copied onto itself"};
  auto m = c.out.maps.find(name);
  const LineMap* map = m == c.out.maps.end() ? nullptr : &m->second;
  // Room for the whole copy at once: growing a large file line by line
  // would hold it twice, old and new, at each step.
  if (Channel& dest = c.out.ch[to]; dest.text && !dest.stream) {
    dest.text->reserve(dest.text->size() + t.size());
    if (dest.map && map) dest.map->first.reserve(dest.map->first.size() + map->first.size());
  }
  // A line without pieces is placed as the start of the last line with
  // pieces before it: that start goes with it, as a piece of its own.
  Origin carry;
  bool carried = false;
  size_t n = 0;
  for (size_t p = 0; p < t.size(); ++n) {
    size_t e = std::min(t.find('\n', p), t.size());
    std::string_view line = std::string_view(t).substr(p, std::min<size_t>(e - p, LINEMAX));
    p = e + 1;
    if (!trace.empty()) TRACELN(c, trace, line);
    // The line's pieces, read where they lie in the map.
    const Origin* pieces = nullptr;
    size_t count = 0;
    if (map && n < map->first.size()) {
      size_t a = map->first[n];
      size_t b = n + 1 < map->first.size() ? map->first[n + 1] : map->pieces.size();
      if (a < b) {
        pieces = &map->pieces[a];
        count = b - a;
        carry = Origin();
        carry.line = map->pieces[a].line;
        carried = true;
      } else if (carried && !line.empty()) {
        pieces = &carry;
        count = 1;
      }
    }
    EMITLINE(c, to, line, pieces, count);
  }
  // A temporary is copied once, when its text has found its place: its
  // origins live on in the copy and are let go here, which halves the
  // maps of a large model. A temporary written again is created anew,
  // which starts a new map; one appended to is refused (APPENDCH).
  if (m != c.out.maps.end()) {
    m->second = LineMap();
    m->second.gone = true;
  }
  // So is its text: a large model's temporaries would otherwise stay
  // beside their copies until the run ends, the largest part of its peak
  // memory. Nothing reads a temporary twice.
  std::string().swap(t);
}

ChMark MARKCH(Compiler& c, ChannelNo ch) {
  Channel& x = c.out.ch[ch];
  if (!x.BUF.empty()) FLUSHOUT(c, ch);
  if (!x.text) throw IoError{x.name, "file not open"};
  size_t out = x.stream ? x.stream->written : 0;
  return {out + x.text->size(), x.map ? x.map->first.size() : 0};
}

void TAKEBACKCH(Compiler& c, ChannelNo ch, const ChMark& m) {
  Channel& x = c.out.ch[ch];
  x.BUF.clear();
  x.PEND.clear();
  size_t out = x.stream ? x.stream->written : 0;
  if (m.bytes < out) throw IoError{x.name, "cut back after it was written"};
  if (x.text && m.bytes - out < x.text->size()) x.text->resize(m.bytes - out);
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
  for (ChannelNo ch : {CH_MODINI, CH_MODPRO, CH_MODPRP, CH_MODLOG, CH_MODIN1, CH_MODEDI, CH_MODAUX})
    ERASECH(c, ch);
}

// Never in place of the model's source, and never half written.
void WRITEWITNESS(Compiler& c) {
  fs::path place = FILEPATH(c, c.drv.DIRPREF + WITNESS);
  if (ISSOURCE(c, place)) return;
  fs::path fresh;
  if (!WRITEBESIDE(place, WITNESSTEXT, fresh).empty()) return;
  std::error_code ec;
  fs::rename(fresh, place, ec);
  if (ec) fs::remove(fresh, ec);
}

// A failed run closes the temporaries, writes the witness, then erases
// them, each in its own order. Its outputs are dropped unwritten.
void ERRORCLEANUP(Compiler& c) {
  for (ChannelNo ch : {CH_MODPRP, CH_MODEDI, CH_MODIN1, CH_MODINI, CH_MODPRO, CH_MODAUX, CH_MODLOG})
    CLOSECH(c, ch);
  WRITEWITNESS(c);
  REMOVETEMPORARIES(c);
}

// The outputs written so far go with the temporaries.
void REMOVETEMPORARIES(Compiler& c) {
  for (ChannelNo ch : {CH_MODINI, CH_MODPRO, CH_MODAUX, CH_MODLOG, CH_MODIN1, CH_MODEDI, CH_MODPRP})
    ERASECH(c, ch);
  UNSTREAM(c);
}

void COMMITOUTPUTS(Compiler& c) {
  std::vector<Output> out = OUTPUTSOF(c, c.drv.DIRPREF + WITNESS);
  std::error_code ec;
  for (const Output& o : out) {
    if (ISSOURCE(c, o.place))
      throw IoError{o.name, "would replace the model's own source; nothing written"};
    if (fs::is_directory(fs::symlink_status(o.place, ec)))
      throw IoError{o.name, std::strerror(EISDIR)};
  }
  for (ChannelNo ch : {CH_PRU, CH_NODE}) CLOSECH(c, ch);
  for (Output& o : out) {
    std::string fault;
    if (auto s = c.out.streams.by.find(o.name); s != c.out.streams.by.end()) {
      CLOSESTREAM(s->second, c.out.files[o.name]);
      fault = s->second.fault;
      if (fault.empty()) {
        o.fresh = s->second.fresh;
        c.out.streams.by.erase(s);
      }
    } else {
      fault = WRITEBESIDE(o.place, o.text, o.fresh);
    }
    if (fault.empty()) continue;
    DROPFRESH(out);
    UNSTREAM(c);
    throw IoError{o.name, fault};
  }
  for (Output& o : out) {
    fs::rename(o.fresh, o.place, ec);
    if (ec) {
      DROPFRESH(out);
      UNSTREAM(c);
      throw IoError{o.name, ec.message()};
    }
    o.fresh.clear();
  }
}

std::vector<std::string> OUTPUTDIRS(const Compiler& c) {
  std::vector<std::string> dirs;
  for (const Output& o : OUTPUTSOF(c, c.drv.DIRPREF + WITNESS)) {
    std::error_code ec;
    fs::path d = fs::absolute(o.place, ec).parent_path().lexically_normal();
    if (std::find(dirs.begin(), dirs.end(), d.string()) == dirs.end()) dirs.push_back(d.string());
  }
  return dirs;
}
