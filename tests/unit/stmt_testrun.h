// Node code and INIT translated in process: a model's sections found, the
// node-code and INIT channels open in a fresh directory, the scanner put
// where the node and INIT passes put it.
#pragma once
#include <gtest/gtest.h>
#include <cstdio>
#include "support/support.h"

// A model's sections found and channels 4 (node code) and 6 (INIT) open,
// as the node and INIT passes have them.
struct Translate : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Source& s = c.src;

  // Each model gets a fresh compiler.
  void model(const std::string& text) {
    INITSTATE(c);
    for (size_t& n : seen) n = 0;
    c.drv.root = dir.str();
    r.load(text);
    TRANSLATEUPTO(c, Pass::SECTIONS);
    PREDEF(c);
    BINDCH(c, CH_NODE, "unit.pas");
    CREATECH(c, CH_NODE);
    BINDCH(c, CH_MODIN1, "MODIN1");
    CREATECH(c, CH_MODIN1);
  }
  // A model of one node G1 with the given code, then E1 and INIT.
  void code(const std::string& text, const std::string& init = "") {
    model("model\nNETWORK\nG1 (G) ::\n" + text + "\nE1 (E) ::\nINIT\n" + init +
          "\nDECL\nEND.\n");
  }
  NameNode* var(const std::string& name, const std::string& tipo,
                const std::string& typtyp = "", int nsub = 0) {
    c.names.DIRECTADD = true;
    s.TIPO = tipo;
    STVNAME(c, true, name);
    c.names.DIRECTADD = false;
    c.names.LASTDIRECT->TYPTYP = typtyp;
    c.names.LASTDIRECT->NSUB = nsub;
    return c.names.LASTDIRECT;
  }
  // Translates the whole code of a node; returns the model error or "".
  std::string node(const std::string& name = "G1") {
    Model& m = c.model;
    int i = m.NODENUM.at(name);
    const NodeRecord& n = m.NodeTable[i];
    s.PL = n.CODEPL;
    s.LB = n.CODELINE;
    s.K = n.C;
    c.stmt.LBF = i < m.NodeCount ? m.NodeTable[i + 1].L : m.SectionLine[2];
    c.stmt.CURNODE = i;
    c.stmt.CURNODENUM = std::to_string(i);
    c.stmt.HASLABELS = !n.LABELS.empty();
    c.stmt.INITMODE = false;
    return block(CH_NODE);
  }
  // The INIT section, up to DECL.
  std::string init() {
    Model& m = c.model;
    s.PL = m.SectionLine[2] - 1;
    s.LB = m.SectionLine[2];
    s.K = 1;
    RECID(c);
    c.stmt.LBF = m.SectionLine[3];
    c.stmt.INITMODE = true;
    c.stmt.CURNODE = 0;
    return block(CH_MODIN1);
  }
  std::string block(ChannelNo ch) {
    c.out.CURCH = ch;
    c.out.TRANSMIT = true;
    c.out.TRSTART = s.K;
    return r.error([&] {
      while (s.LB < c.stmt.LBF) PRINS(c);
    });
  }
  // What the channel received since the last look.
  std::string out(ChannelNo ch = CH_NODE) {
    if (!c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
    std::string t = FILETEXT(c, ch == CH_NODE ? "unit.pas" : "MODIN1");
    std::string fresh = t.substr(seen[CHNUM(ch)]);
    seen[CHNUM(ch)] = t.size();
    return fresh;
  }
  size_t seen[NCHANNELS + 1] = {};
  std::string where() const {
    return std::to_string(r.lastError.line) + ":" + std::to_string(r.lastError.column);
  }
  std::string explist() const {
    std::string t;
    for (const ExpItem& e : c.stmt.EXPLIST) t += e.NOM + "/" + e.KIND + " ";
    return t;
  }
};
