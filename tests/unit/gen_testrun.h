// Whole models generated in process: the passes up to the declarations,
// then the node pass, the INIT pass or both with the assembly, in a fresh
// directory; the generated files are read back.
#pragma once
#include <string>
#include "support/support.h"

struct GenRun {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;

  // act: the INIT section counts as holding an ACT (for models that do
  // not need one to show what they test).
  explicit GenRun(const std::string& model, bool act = true) {
    c.drv.root = dir.str();
    c.drv.SRCPATH = "gen.tlv";
    r.load(model);
    c.stmt.ACTSEEN = act;
  }
  // Each runs the passes up to its own and returns the model error, "".
  std::string nodes() {
    return r.error([&] {
      TRANSLATEUPTO(c, Pass::DECLARATIONS);
      GenerateNodes(c);
    });
  }
  std::string init() { return r.error([&] { TRANSLATEUPTO(c, Pass::INIT); }); }
  std::string all() { return r.error([&] { TRANSLATEUPTO(c, Pass::ASSEMBLY); }); }
  std::string where() const {
    return std::to_string(r.lastError.line) + ":" + std::to_string(r.lastError.column);
  }
  // A generated file; the channel still writing it is flushed first.
  std::string file(const std::string& name) {
    for (ChannelNo ch : {CH_PRU, CH_MODPRO, CH_NODE}) {
      if (c.out.ch[ch].text && c.out.ch[ch].name == name && !c.out.ch[ch].BUF.empty())
        FLUSHOUT(c, ch);
    }
    return WRITTEN(c, dir, name);
  }
  std::string unit(int n = 1) { return file("unid" + std::to_string(n) + ".pas"); }
  // The procedure of a node in unit n, up to the next one or the unit's end.
  std::string proc(const std::string& name, int n = 1) {
    std::string u = unit(n);
    const std::string head = "procedure " + name + "(ino:integer);\nvar icopy";
    size_t p = u.find(head);
    if (p == std::string::npos) return "";
    // The next node's procedure; a procedure nested in this one is skipped.
    size_t e = u.find("(ino:integer);\nvar icopy", p + head.size());
    e = e == std::string::npos ? u.find("\nend.\n", p) : u.rfind("\nprocedure ", e);
    return u.substr(p, e == std::string::npos ? std::string::npos : e + 1 - p);
  }
  // The part of a file from a line starting with `from` up to the line
  // holding `to` (inclusive).
  std::string part(const std::string& text, const std::string& from, const std::string& to) {
    size_t p = text.compare(0, from.size(), from) == 0 ? 0 : text.find("\n" + from);
    if (p == std::string::npos) return "";
    if (p > 0) p++;
    size_t e = text.find(to, p);
    if (e == std::string::npos) return text.substr(p);
    e += to.size();
    if (to.back() != '\n') e = text.find('\n', e) + 1;
    return text.substr(p, e - p);
  }
};

// A network and INIT around the given node lines; DECL after.
inline std::string NETMODEL(const std::string& nodes, const std::string& init = "  TSIM := 10;\n",
                            const std::string& decl = "") {
  return "generated model\nNETWORK\n" + nodes + "INIT\n" + init + "DECL\n" + decl + "END.\n";
}
