// Output channels: nine numbered channels, each bound to a text file, that
// pack pieces of generated text into lines of at most 74 characters. Every
// generator writes through SENDOUT/FLUSHOUT/SENDSRC/SENDREPL; the line
// advance transmits source text through them.
#include "ground/compiler.h"

// Assigned in place: the piece's room is reused, piece after piece.
void SETOUT(Compiler& c, std::string_view s) { c.out.OUTLIN.assign(s.substr(0, LINEMAX)); }

// A piece is never split: it joins the line when both fit in 74 characters,
// otherwise the line is written and the piece starts the next one.
void SENDOUT(Compiler& c, int ch, bool force) {
  std::string& buf = c.out.ch[ch].BUF;
  const std::string& piece = c.out.OUTLIN;
  if (force || buf.size() + piece.size() > PACKWIDTH) {
    WRITELINE(c, ch, buf);
    TRACELN(c, "TR.LIN  ", buf);
    buf = piece;
  } else {
    buf += piece;
  }
  if (c.drv.TRACE) {
    TRACELN(c, "A BUF ", ch, ' ', piece);
    TRACEWAIT(c);
  }
}

void FLUSHOUT(Compiler& c, int ch) {
  WRITELINE(c, ch, c.out.ch[ch].BUF);
  c.out.ch[ch].BUF.clear();
}

// Source text of the current line from TRSTART up to column k-1.
void SENDSRC(Compiler& c, int k, int ch) {
  std::string s;
  s.reserve(k > c.out.TRSTART ? k - c.out.TRSTART : 0);
  for (int i = c.out.TRSTART; i < k; ++i) s += c.src.at(i);
  SETOUT(c, s);
  SENDOUT(c, ch, false);
}

// d := t with every x replaced by r; mode 1 writes d to PRU.PAS as a line,
// modes 2..4 send OUTLIN to that channel, any other mode only fills d.
// Replacing the first x again and again, cutting to 81 each time, comes
// to one pass from the left: a replacement is never searched again, and
// what a cut drops is never seen by a later one.
void SENDREPL(Compiler& c, std::string_view t, char x, std::string_view r,
              std::string& d, int mode) {
  d = CUT(FILLIN(CUT(t, LINEMAX), {{x, CUT(r, LINEMAX)}}), LINEMAX);
  if (mode == 1)
    WRITELINE(c, 1, d);
  else if (mode >= 2 && mode <= 4)
    SENDOUT(c, mode, false);
}

// Runs without a placeholder are copied whole; where two slots name the
// same character the last one counts.
std::string FILLIN(std::string_view t, std::initializer_list<Slot> slots) {
  size_t room = t.size();
  for (const Slot& g : slots) room += g.r.size();
  std::string d;
  d.reserve(room);
  size_t from = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    const Slot* f = nullptr;
    for (const Slot& g : slots)
      if (g.x == t[i]) f = &g;
    if (!f) continue;
    d.append(t.data() + from, i - from);
    d.append(f->r);
    from = i + 1;
  }
  d.append(t.data() + from, t.size() - from);
  return d;
}

void SENDPIECE(Compiler& c, int ch, std::string_view piece, bool force) {
  SETOUT(c, piece);
  SENDOUT(c, ch, force);
}

void SEND(Compiler& c, std::string_view piece, bool force) {
  SENDPIECE(c, c.out.CURCH, piece, force);
}

void NEWPIECE(Compiler& c, int ch, std::string_view piece) {
  SETOUT(c, piece);
  if (c.out.ch[ch].BUF.empty())
    c.out.ch[ch].BUF = c.out.OUTLIN;
  else
    SENDOUT(c, ch, true);
}

void STARTPIECE(Compiler& c, int ch, std::string_view piece) {
  SENDPIECE(c, ch, piece, !c.out.ch[ch].BUF.empty());
}

void ADDPIECE(Compiler& c, int ch, std::string_view piece) { SENDPIECE(c, ch, piece, false); }
