// Pascal string literals of copied text: quotes doubled, control
// characters outside the quotes, and a long text in whole literals joined
// by '+', so that no output line cuts one.
#include <gtest/gtest.h>
#include "ground/literals.h"
#include "support/support.h"

namespace {

// What a Pascal constant made of 'quoted' parts, #n codes and '+' stands
// for; "?" marks a malformed one (an open quote, a stray character).
std::string VALUEOF(const std::string& t) {
  std::string v;
  size_t i = 0;
  while (i < t.size()) {
    if (t[i] == '+') {
      ++i;
    } else if (t[i] == '#') {
      size_t j = ++i;
      while (j < t.size() && isdigit(static_cast<unsigned char>(t[j]))) ++j;
      if (j == i) return "?";
      v += static_cast<char>(std::stoi(t.substr(i, j - i)));
      i = j;
    } else if (t[i] == '\'') {
      for (++i;; ++i) {
        if (i >= t.size()) return "?";
        if (t[i] == '\'') {
          if (i + 1 < t.size() && t[i + 1] == '\'') {
            v += '\'';
            ++i;
          } else {
            break;
          }
        } else {
          v += t[i];
        }
      }
      ++i;
    } else {
      return "?";
    }
  }
  return v;
}

// The pieces of assign(f,'*'); for text, joined, and their value.
std::string JOINED(const std::vector<std::string>& pieces) {
  std::string t;
  for (const std::string& p : pieces) t += p;
  return t;
}

TEST(Literals, PlainShortTextIsOnePieceAsBefore) {
  EXPECT_EQ(LITERALPIECES("assign(_arf,'*');", "bank.D01"),
            std::vector<std::string>{"assign(_arf,'bank.D01');"});
  EXPECT_EQ(LITERALPIECES("_tg:='*';", ""), std::vector<std::string>{"_tg:='';"});
}

TEST(Literals, QuotesAreDoubled) {
  std::string path = "x');halt(7);assign(_arf,'/bank.D01";
  std::vector<std::string> p = LITERALPIECES("assign(_arf,'*');", path);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0], "assign(_arf,'x'');halt(7);assign(_arf,''/bank.D01');");
  std::string lit = p[0].substr(std::string("assign(_arf,").size());
  EXPECT_EQ(VALUEOF(lit.substr(0, lit.size() - 2)), path);
}

TEST(Literals, ControlCharactersStandOutsideTheQuotes) {
  EXPECT_EQ(LITERALPIECES("s:='*';", "a\nb\tc"), std::vector<std::string>{"s:='a'#10'b'#9'c';"});
  EXPECT_EQ(LITERALPIECES("s:='*';", "\n"), std::vector<std::string>{"s:=#10;"});
}

TEST(Literals, LongTextIsSplitIntoWholeLiterals) {
  std::string path;
  for (int i = 0; i < 30; ++i) path += "dir'" + std::to_string(i) + "/";
  path += "model.D01";
  std::vector<std::string> p = LITERALPIECES("if paramcount>=1 then begin assign(_arf,'*');", path);
  ASSERT_GT(p.size(), 3u);
  for (const std::string& piece : p) EXPECT_LE(piece.size(), size_t(PACKWIDTH)) << piece;
  std::string all = JOINED(p);
  const std::string head = "if paramcount>=1 then begin assign(_arf,";
  ASSERT_EQ(all.substr(0, head.size()), head);
  ASSERT_EQ(all.substr(all.size() - 2), ");");
  EXPECT_EQ(VALUEOF(all.substr(head.size(), all.size() - head.size() - 2)), path);
  // Every piece holds whole literals: each on its own is well formed.
  for (size_t i = 1; i + 1 < p.size(); ++i) EXPECT_NE(VALUEOF(p[i]), "?") << p[i];
}

TEST(Literals, SourceStringsAreReadBackBeforeQuoting) {
  EXPECT_EQ(UNQUOTED("it''s"), "it's");
  EXPECT_EQ(LITERALPIECES("_tg:='*';", UNQUOTED("it''s")), std::vector<std::string>{"_tg:='it''s';"});
}

}  // namespace
