// The ground every pass stands on: the run's options and outcome types, the
// fatal error and warning routines, trace mode, the nine output channels and
// the files behind them. Every pass reaches this state through the Compiler
// object; nothing here calls a pass.
#pragma once
#include <cstdint>
#include <cstdio>
#include <iosfwd>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

struct Compiler;

// A model error: thrown by ERROR, caught only at the top of a run.
struct ModelError {
  std::string text;     // what the message box shows: line, message, position
  std::string message;  // the message alone, cut to 81 characters
  int line = 0;         // LB at the moment of the error
  int column = 0;       // K at the moment of the error
};

// A file that cannot be opened, read or written: the run stops at once
// and writes no witness file; the outputs of an earlier run stay as they
// were.
struct IoError {
  std::string file;
  std::string reason;
};

// Where a piece of generated text came from, so that a fault the Pascal
// compiler finds in it can be shown at the model's own line.
// Columns are those of one line (at most a few hundred): eight bytes a
// piece.
struct Origin {
  int line = 0;              // source line being read when the piece was sent
  std::uint16_t col = 1;     // first column of the piece in its generated line
  std::uint16_t srccol = 0;  // column of its first character when the piece is
                             // that line's own text copied; 0 for the
                             // translator's text
};
// The origins of every line written to one file, in order. Kept beside the
// text, never in it: the generated text does not change.
struct LineMap {
  std::vector<Origin> pieces;   // the pieces of every line, line after line
  std::vector<uint32_t> first;  // index in pieces of each line's first piece
  bool gone = false;            // let go after the file was copied
};

// One output channel: the file it is bound to and the line being packed.
// Files are held in memory (Out::files) while the run lasts.
struct Stream;
struct Channel {
  std::string name;             // file name the channel is bound to ("" = unbound)
  std::string* text = nullptr;  // the open file's text, or null
  Stream* stream = nullptr;     // where an output's text goes as it is made
  std::string BUF;              // line being assembled, at most 81 characters
  std::vector<Origin> PEND;     // origins of the pieces in BUF
  LineMap* map = nullptr;       // origins of the open file's lines
};

// The nine channels and the files they are bound to. A channel is always a
// ChannelNo, never a bare number, so a number slipped into a channel's
// place does not compile.
enum class ChannelNo : std::uint8_t {
  PRU = 1,     // PRU.PAS
  MODINI = 2,
  MODPRO = 3,  // generated procedures
  NODE = 4,    // the current unit file, at the end the main program
  MODAUX = 5,
  MODIN1 = 6,  // _init
  MODLOG = 7,  // _cl
  MODEDI = 8,  // body of _fec
  MODPRP = 9,  // user procedures
};
constexpr int NCHANNELS = 9;
static_assert(static_cast<int>(ChannelNo::MODPRP) == NCHANNELS, "one Channel per ChannelNo");
// The short names every generator writes.
constexpr ChannelNo CH_PRU = ChannelNo::PRU, CH_MODINI = ChannelNo::MODINI,
                    CH_MODPRO = ChannelNo::MODPRO, CH_NODE = ChannelNo::NODE,
                    CH_MODAUX = ChannelNo::MODAUX, CH_MODIN1 = ChannelNo::MODIN1,
                    CH_MODLOG = ChannelNo::MODLOG, CH_MODEDI = ChannelNo::MODEDI,
                    CH_MODPRP = ChannelNo::MODPRP;
// A channel's number, as traces show it.
constexpr int CHNUM(ChannelNo ch) { return static_cast<int>(ch); }

// The channels themselves, reached by their ChannelNo only.
struct Channels {
  Channel all[NCHANNELS];
  Channel& operator[](ChannelNo ch) { return all[CHNUM(ch) - 1]; }
  const Channel& operator[](ChannelNo ch) const { return all[CHNUM(ch) - 1]; }
  Channel* begin() { return all; }
  Channel* end() { return all + NCHANNELS; }
};
constexpr int LINEMAX = 81;   // longest line or piece of output
constexpr int PACKWIDTH = 74; // pieces are packed into lines up to this width

// Subsystem 1 state.
struct Driver {
  std::string SRCPATH;  // model source path, argument 1
  bool TRACE = false;   // exactly two arguments: trace mode
  std::string DIRPREF;  // prefix of temporaries, witness and PRU.PAS
  char KEYCH = ' ';     // last key read at a trace pause; nothing reads it
  std::string root;     // directory the run works in ("" = the process's)
  size_t STACKROOM = 0; // stack the nesting levels may take (0: STACKDEFAULT)
  // Directory the model's own files (the source, its dBase tables) are
  // read from; "" = the run's directory, like every other file.
  std::string srcdir;
  std::ostream* out;    // banner and trace
  std::istream* in;     // trace pauses
  std::ostream* err;    // message box text
  std::vector<ModelError> warnings;  // every WARNING of the run, in order
  int PASSESRUN = 0;    // passes after the line store run so far
  // The outputs go to their new files as they are made (only when the
  // caller will commit them): a large model's program is not held whole.
  bool STREAMOUT = false;
};

// An output written as it is made, to a new file beside its place under a
// name of its own; renamed into place by COMMITOUTPUTS. A fault is kept
// for the commit to report, as if the file had been written there.
struct Stream {
  std::string fresh;          // the new file
  std::FILE* f = nullptr;     // open while its channel is
  size_t written = 0;         // bytes of the text already in the file
  std::string fault;          // the first fault, "" if none
};
// Every stream of a run, by file name; whatever a run leaves uncommitted
// (an error, a run started again, the run dropped) is removed.
class Streams {
 public:
  Streams() = default;
  Streams(const Streams&) = delete;
  Streams& operator=(const Streams&) = delete;
  Streams(Streams&& o) noexcept : by(std::move(o.by)) { o.by.clear(); }
  Streams& operator=(Streams&& o) noexcept {
    if (this != &o) {
      DROP();
      by = std::move(o.by);
      o.by.clear();
    }
    return *this;
  }
  ~Streams() { DROP(); }
  void DROP();  // every file closed and removed
  std::map<std::string, Stream> by;
};

// Output state: channels and the transmission switches that feed them.
struct Out {
  Channels ch;                // by ChannelNo
  ChannelNo CURCH = CH_PRU;   // channel receiving transmitted source text
  int TRSTART = 1;            // first column of PL not yet sent
  bool TRANSMIT = false;      // line advance copies finished lines to CURCH
  int TRMODE = 0;             // 1: declaration-time copy rules of VERFLIN
  std::map<std::string, LineMap> maps;  // line origins by file name
  // Every file the run writes, by name, in memory: the temporaries, which
  // never reach the disk, and the outputs, written out only when the whole
  // translation has succeeded (COMMITOUTPUTS).
  std::map<std::string, std::string> files;
  Streams streams;  // outputs on their way to disk (Driver::STREAMOUT)
};

// A variable put back, on leaving a scope (also when an error unwinds), to
// the value it had on entering it; optionally set for the scope.
template <class T>
class KEEP {
 public:
  explicit KEEP(T& v) : ref(v), old(v) {}
  KEEP(T& v, T now) : ref(v), old(v) { ref = now; }
  ~KEEP() { ref = old; }
  KEEP(const KEEP&) = delete;
  KEEP& operator=(const KEEP&) = delete;

 private:
  T& ref;
  T old;
};

// Transmission sent to another channel for a scope.
struct CHANNELFOR : KEEP<ChannelNo> {
  CHANNELFOR(Out& o, ChannelNo ch) : KEEP(o.CURCH, ch) {}
};

// Transmission switched on or off, on leaving a scope, as it was on
// entering it, whatever the readers called in between did to it.
struct KEEPTRANSMIT : KEEP<bool> {
  explicit KEEPTRANSMIT(Out& o) : KEEP(o.TRANSMIT) {}
};

// ---- diagnostics (diag.cpp)
[[noreturn]] void ERROR(Compiler& c, std::string_view msg);
void WARNING(Compiler& c, std::string_view msg);
void EXPECT(Compiler& c, char x);
void TRACEWAIT(Compiler& c);
std::string MESSAGETEXT(Compiler& c, std::string_view msg);
std::string CUT(std::string_view s, size_t n);  // bounded strings are cut
std::string_view LINETEXTOF(const Compiler& c);  // PL^.CON, "" before the store

// Trace lines go to the run's output only in trace mode.
template <class... A>
void TRACELN(Compiler& c, const A&... a);
template <class... A>
void TRACEW(Compiler& c, const A&... a);

// ---- files: channel files, temporaries, witness (files.cpp)
std::string FILEPATH(const Compiler& c, const std::string& name);
// A file of the model's own (the source, a dBase table) by the name it has
// in the model.
std::string INPATH(const Compiler& c, const std::string& name);
std::string DIRPREFOF(std::string_view srcpath);
void BINDCH(Compiler& c, ChannelNo ch, const std::string& name);
void CREATECH(Compiler& c, ChannelNo ch);   // create the bound file for writing
void APPENDCH(Compiler& c, ChannelNo ch);   // open the bound file for appending
void CLOSECH(Compiler& c, ChannelNo ch);    // close if open
void ERASECH(Compiler& c, ChannelNo ch);    // drop the bound file, if any
void WRITELINE(Compiler& c, ChannelNo ch, std::string_view text);  // bypasses BUF
// Writes a line of a channel's file with the origins of its n pieces.
void EMITLINE(Compiler& c, ChannelNo ch, std::string_view text, const Origin* pieces, size_t n);
void WRITETEXT(Compiler& c, ChannelNo ch, std::string_view text);  // no line end either
// Closes channel from's file and copies its lines, in order and with their
// origins, straight into channel to's file (callers flush what must come
// first). In trace mode each line is printed after the given words.
void COPYCH(Compiler& c, ChannelNo from, ChannelNo to, std::string_view trace = "");
// Where a channel's file stands (its pending line written first), and the
// file cut back to such a mark.
struct ChMark {
  size_t bytes = 0;
  size_t lines = 0;
};
ChMark MARKCH(Compiler& c, ChannelNo ch);
void TAKEBACKCH(Compiler& c, ChannelNo ch, const ChMark& m);
void OPENTEMPORARIES(Compiler& c);  // bind and create, in the run's order
void ENDTEMPORARIES(Compiler& c);   // after a complete run: close and erase
// After a model error: close and erase the temporaries, write the witness.
void ERRORCLEANUP(Compiler& c);
// Erases the temporaries (closing them first).
void REMOVETEMPORARIES(Compiler& c);
// The witness file, written whole or not at all; failures are ignored.
void WRITEWITNESS(Compiler& c);
// After a complete translation: every output file written under a new
// name beside its place, each write checked, then all renamed into place
// (a symlink there is replaced, not followed), and the witness last. An
// output that would replace the model's own source, or any failure, throws
// IoError before anything is renamed, and no new file is left.
void COMMITOUTPUTS(Compiler& c);
// The directories the outputs and the witness of a run go to.
std::vector<std::string> OUTPUTDIRS(const Compiler& c);

// ---- channels (channels.cpp)
// The origin of a piece about to start at column col of a generated line.
Origin PIECEORIGIN(const Compiler& c, std::string_view piece, int col);
// Where a file's generated line and column came from: the model line and
// column (line 0 when the file or line is not known).
struct Place {
  int line = 0;
  int col = 0;
  bool copied = false;  // the text there is the model's own, copied
};
Place ORIGINOF(const Compiler& c, const std::string& file, int line, int col);
// The map of a file written by the run, found by its name without the
// directory, in any case; null when the run wrote no such file.
const LineMap* MAPOF(const Compiler& c, std::string_view file);
void FLUSHOUT(Compiler& c, ChannelNo ch);
void SENDSRC(Compiler& c, int k, ChannelNo ch);
// t with every x replaced by r, cut to 81 characters.
std::string REPL(std::string_view t, char x, std::string_view r);

// A template with each placeholder character replaced by its value, in one
// pass: a value is never searched again, whatever it holds.
struct Slot {
  char x;
  std::string_view r;
};
std::string FILLIN(std::string_view t, std::initializer_list<Slot> slots);

// Pieces of generated text, each cut to 81 characters. A piece is never
// split: it joins the pending line when both fit in 74 characters,
// otherwise that line is written and the piece starts the next one.
// force: the piece starts a new line, the pending one written even empty.
void SENDPIECE(Compiler& c, ChannelNo ch, std::string_view piece, bool force);
// The same on the current channel.
void SEND(Compiler& c, std::string_view piece, bool force);
// On a new line; the pending line is ended first, but an empty one is not
// written (files start with their first piece).
void NEWPIECE(Compiler& c, ChannelNo ch, std::string_view piece);
// On a new line when a line is pending, else packed as SENDOUT packs it.
void STARTPIECE(Compiler& c, ChannelNo ch, std::string_view piece);
// Appended to the pending line (a new line when it would pass 74 characters).
void ADDPIECE(Compiler& c, ChannelNo ch, std::string_view piece);
