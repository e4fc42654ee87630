// A declaration pass run in process: the model goes through the line store
// and the section finder, then BUDECL writes PRU.PAS into a fresh directory.
#pragma once
#include <string>
#include <vector>
#include "support/support.h"

// A small network with nodes ENTRY, TELLER and EXIT; the declarations
// start on line 10. No node needs a default message record, so the
// organisation writes nothing before its tables.
inline std::string DECLMODEL(const std::string& decl) {
  return "A bank\n"
         "NETWORK\n"
         "  ENTRY (A) TELLER ::\n"
         "     IT := EXPO(5);\n"
         "  TELLER (R) EXIT ::\n"
         "  EXIT (E) ::\n"
         "INIT\n"
         "  TSIM := 100;\n"
         "DECL\n" +
         decl + "\nEND.\n";
}

constexpr int DECLHEADLINES = 14;  // unit line, {$F+} and the 12 interface lines

struct DeclRun {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  std::string sections;  // error of the passes before, "" when none

  explicit DeclRun(const std::string& model) {
    c.drv.root = dir.str();
    r.load(model);
    sections = r.error([&] { TRANSLATEUPTO(c, Pass::SECTIONS); });
  }
  // The declaration pass; the model error's message, "" when none.
  std::string run() { return r.error([&] { TRANSLATEUPTO(c, Pass::DECLARATIONS); }); }
  int line() const { return r.lastError.line; }
  int column() const { return r.lastError.column; }
  std::string pru() {
    CLOSECH(c, CH_PRU);
    return WRITTEN(c, dir, "PRU.PAS");
  }
  // PRU.PAS up to the network tables that the organisation writes after
  // the declarations.
  std::string decls() {
    std::string t = pru();
    size_t p = t.find("\ntype _pfrg=");
    if (p == std::string::npos) return t;
    if (p > 0 && t[p - 1] == '\n') p--;  // the empty line the tables start with
    return t.substr(0, p + 1);
  }
  // The declarations after the fixed head of the unit.
  std::string body() {
    std::string t = decls();
    size_t p = 0;
    for (int i = 0; i < DECLHEADLINES && p != std::string::npos; ++i) {
      p = t.find('\n', p);
      if (p != std::string::npos) p++;
    }
    return p == std::string::npos ? "" : t.substr(p);
  }
  // The entry of a global name (null when absent), without the scanner.
  NameNode* entry(const std::string& name, NameNode* root = nullptr) {
    NameNode* x = root ? root : c.names.ROOT;
    while (x && x->NOM != name) x = name < x->NOM ? x->LEFT : x->RIGHT;
    return x;
  }
};

// Runs the declarations of a DECLMODEL and returns the error message.
inline std::string DECLERROR(const std::string& decl, int* line = nullptr,
                             int* column = nullptr) {
  DeclRun d(DECLMODEL(decl));
  std::string m = d.run();
  if (line) *line = d.line();
  if (column) *column = d.column();
  return m;
}
