// Prints the fuzzing dictionary of the language: every entry of the
// keyword tables, the predefined types and names, and the punctuation and
// section words of a model, one libFuzzer dictionary line each. Built and
// run by `make fuzz`, so the dictionary follows the tables.
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include "cli/cli.h"
#include "ground/compiler.h"
#include "symbols/keywords.h"
#include "symbols/names.h"

int main() {
  std::set<std::string> words = {"NETWORK", "INIT", "DECL", "END.", "MODULE", "::", ":=", "..",
                                 "(*", "*)", "{", "}", "'", "''", "#", "^.", "<>", "<=", ">=",
                                 "X'", "(I)", "(G)", "(R)", "(L)", "(E)", "(D)", "(A)", "(C)"};
  using Entry = std::string_view (*)(int);
  for (Entry table : {DECLCLASSENTRY, STMTENTRY, RESENTRY, INSTENTRY, FUNCENTRY, PPROCENTRY,
                      COLORENTRY, FUNVCLASSENTRY})
    for (int i = 1; i <= 100; ++i)  // past every table's end
      if (!table(i).empty() && table(i) != " ") words.insert(std::string(table(i)));
  Compiler c;
  std::ostringstream out;
  std::istringstream in;
  c.drv.out = &out;
  c.drv.err = &out;
  c.drv.in = &in;
  INITSTATE(c);
  for (const TypeRecord& t : c.names.TYPES) words.insert(t.NOM);
  PREDEF(c);
  c.names.ENTRIES.each([&](const NameNode& n) { words.insert(n.NOM); });
  for (const std::string& w : words) {
    std::cout << '"';
    for (char ch : w) {
      if (ch == '"' || ch == '\\') std::cout << '\\';
      std::cout << ch;
    }
    std::cout << "\"\n";
  }
}
