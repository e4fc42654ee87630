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

// The text without the given blanks at either end.
inline std::string TRIM(std::string_view s, std::string_view blanks = " ") {
  size_t a = s.find_first_not_of(blanks);
  if (a == std::string_view::npos) return "";
  return std::string(s.substr(a, s.find_last_not_of(blanks) - a + 1));
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
