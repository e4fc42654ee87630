// Small text helpers every pass may use: case, digits, integer values.
// ASCII only: source text is cut and compared byte by byte.
#pragma once
#include <climits>
#include <string>
#include <string_view>

inline char UPPER(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch; }

inline std::string UPPER(std::string s) {
  for (char& ch : s) ch = UPPER(ch);
  return s;
}

inline bool ISDIGIT(char ch) { return ch >= '0' && ch <= '9'; }

inline bool ALLDIGITS(std::string_view w) {
  if (w.empty()) return false;
  for (char ch : w)
    if (!ISDIGIT(ch)) return false;
  return true;
}

// Digits only, few enough (at most nine) for std::stoi.
inline bool SMALLUNSIGNED(std::string_view w) { return w.size() <= 9 && ALLDIGITS(w); }

// The value of a number's leading digits with the sign given, held at
// INT_MAX when it is longer than an int holds.
inline int INTVALUE(std::string_view text, bool negative = false) {
  long long v = 0;
  for (char ch : text) {
    if (!ISDIGIT(ch)) break;
    v = v * 10 + (ch - '0');
    if (v > INT_MAX) v = INT_MAX;
  }
  return static_cast<int>(negative ? -v : v);
}
