// Message-flow instructions translated in process: a whole model goes
// through the line store, the section finder and the declaration pass
// (which organises the network), then one node's code is translated with
// PRINS and the node state set as the node pass sets it.
#pragma once
#include <gtest/gtest.h>
#include <cstdio>
#include "support/support.h"

struct Flow : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Source& s = c.src;
  size_t seen[NCHANNELS + 1] = {};

  // The passes up to the node code; the error of a pass, "" when none.
  std::string model(const std::string& text) {
    INITSTATE(c);
    for (size_t& n : seen) n = 0;
    c.drv.root = dir.str();
    r.load(text);
    std::string e = r.error([&] { TRANSLATEUPTO(c, Pass::DECLARATIONS); });
    BINDCH(c, CH_NODE, "unit.pas");
    CREATECH(c, CH_NODE);
    CREATECH(c, CH_MODAUX);
    c.out.TRANSMIT = false;
    return e;
  }
  // A model of the given nodes, an INIT section and declarations.
  std::string net(const std::string& nodes, const std::string& decl = "",
                  const std::string& init = "  TSIM := 10;") {
    return model("flow\nNETWORK\n" + nodes + "\nINIT\n" + init + "\nDECL\n" + decl +
                 "\nEND.\n");
  }
  // Puts code under the line of a model text that starts with the word
  // given (a node's header, or INIT).
  static std::string PUT(std::string t, const std::string& under, const std::string& code) {
    size_t p = t.find("\n" + under + " ");
    if (p == std::string::npos) p = t.find("\n" + under + "\n");
    size_t eol = t.find('\n', p + 1);
    t.insert(eol + 1, code + "\n");
    return t;
  }
  // The sample network of flow_net.tlv with code put under a line.
  std::string sample(const std::string& under, const std::string& code) {
    return model(PUT(MODELTEXT("flow_net.tlv"), under, code));
  }
  int num(const std::string& name) { return c.model.NODENUM.at(name); }
  static std::string LIST(int first, int mult) {
    return mult == 1 ? std::to_string(first) : std::to_string(first - 1) + "+ino";
  }
  // The node state of the node pass, then the node's code.
  void enter(const std::string& name) {
    Model& m = c.model;
    int i = num(name);
    const NodeRecord& x = m.NodeTable[i];
    Stmt& t = c.stmt;
    t.CURNODE = i;
    t.CURNODENUM = std::to_string(i);
    t.HASLABELS = !x.LABELS.empty();
    t.INITMODE = false;
    t.LBF = x.L;
    t.ELTEXT = LIST(x.EL, x.MULT);
    t.ILTEXT = LIST(x.IL, x.MULT);
    t.MULTTEXT = std::to_string(x.MULT);
    t.MULTTEXT1 = std::to_string(x.MULT - 1);
    t.SENDPENDING = true;
    t.ACCPENDING = true;
    t.ADVANCE = true;
    t.SCANLOOP = x.TIPO == 'G';
    t.REQUESTPART = x.TIPO == 'R';  // an R node's code is its request loop
    s.PL = x.CODEPL;
    s.LB = x.CODELINE;
    s.K = x.C;
    c.names.SCOPE = x.NOM;
    c.out.CURCH = CH_NODE;
  }
  // Translates a node's whole code into ch; the error or "".
  std::string node(const std::string& name, ChannelNo ch = CH_NODE) {
    enter(name);
    c.out.CURCH = ch;
    return code();
  }
  std::string code() {
    c.out.TRANSMIT = true;
    c.out.TRSTART = s.K;
    return r.error([&] {
      while (s.LB < c.stmt.LBF) PRINS(c);
    });
  }
  // The INIT section up to DECL, into channel 6.
  std::string init() {
    Model& m = c.model;
    s.PL = m.SectionLine[2] - 1;
    s.LB = m.SectionLine[2];
    s.K = 1;
    RECID(c);
    Stmt& t = c.stmt;
    t.LBF = m.SectionLine[3];
    t.INITMODE = true;
    t.CURNODE = 0;
    t.CURNODENUM.clear();
    t.ELTEXT.clear();
    c.names.SCOPE = "MAIN";
    c.out.CURCH = CH_MODIN1;
    return code();
  }
  // What channel ch received since the last look.
  std::string out(ChannelNo ch = CH_NODE) {
    if (!c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
    std::string t = WRITTEN(c, dir, c.out.ch[ch].name);
    std::string fresh = t.substr(seen[CHNUM(ch)]);
    seen[CHNUM(ch)] = t.size();
    return fresh;
  }
  // The node's code as generated: what follows the rest of its header
  // line (an empty line and a blank one).
  std::string text(ChannelNo ch = CH_NODE) {
    std::string t = out(ch);
    return t.compare(0, 3, "\n \n") == 0 ? t.substr(3) : t;
  }
  // Translates code put under a line of the sample network; the error.
  std::string run(const std::string& under, const std::string& code, ChannelNo ch = CH_NODE) {
    std::string e = sample(under, code);
    if (!e.empty()) return "passes: " + e;
    return under == "INIT" ? init() : node(under, ch);
  }
  std::string where() const {
    return std::to_string(r.lastError.line) + ":" + std::to_string(r.lastError.column);
  }
};
