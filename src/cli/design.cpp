// Design files of experiments: a CSV with one column per FACTORS or EXPER
// variable and one row per point; blank lines and lines starting with '#'
// are skipped.
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <set>
#include "cli/sweep.h"
#include "ground/text.h"

namespace {

// Fields and lines of a design file lose blanks, tabs and line-end marks.
constexpr std::string_view BLANKS = " \t\r";

// A variable's name, a subscript allowed: X, RATE, WARD[2].
bool NAMELIKE(const std::string& s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  size_t i = 1;
  while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
  if (i == s.size()) return true;
  return s[i] == '[' && s.back() == ']' && s.size() > i + 2;
}

}  // namespace

std::vector<std::string> CSVFIELDS(const std::string& line) {
  std::vector<std::string> f;
  std::string cur;
  bool quoted = false, wasquoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char ch = line[i];
    if (quoted) {
      if (ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        cur += '"';
        ++i;
      } else if (ch == '"') {
        quoted = false;
      } else {
        cur += ch;
      }
    } else if (ch == '"') {
      quoted = wasquoted = true;
    } else if (ch == ',') {
      f.push_back(wasquoted ? cur : TRIM(cur, BLANKS));
      cur.clear();
      wasquoted = false;
    } else {
      cur += ch;
    }
  }
  f.push_back(wasquoted ? cur : TRIM(cur, BLANKS));
  return f;
}

std::string SHORTEST(double x) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, r.ptr);
}

bool READDESIGN(const std::string& path, Design& d, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = path + ": cannot be read";
    return false;
  }
  d = Design();
  std::string line;
  int n = 0;
  std::set<std::string> seen;
  while (std::getline(in, line)) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // written elsewhere
    std::string t = TRIM(line, BLANKS);
    if (t.empty() || t[0] == '#') continue;
    std::vector<std::string> f = CSVFIELDS(line);
    std::string where = path + ":" + std::to_string(n) + ": ";
    if (d.columns.empty()) {
      for (const std::string& c : f) {
        if (!NAMELIKE(c)) {
          why = where + "'" + c + "' is not a variable's name";
          return false;
        }
        if (!seen.insert(UPPER(c)).second) {
          why = where + c + " twice";
          return false;
        }
      }
      d.columns = f;
      continue;
    }
    if (f.size() != d.columns.size()) {
      why = where + std::to_string(f.size()) + " values, " + std::to_string(d.columns.size()) +
            " columns";
      return false;
    }
    for (size_t i = 0; i < f.size(); ++i) {
      if (f[i].empty() || f[i].find_first_of("\t\n") != std::string::npos) {
        why = where + d.columns[i] + ": no value";
        return false;
      }
    }
    d.points.push_back(f);
  }
  if (d.columns.empty()) {
    why = path + ": no columns (the first line names the variables)";
    return false;
  }
  if (d.points.empty()) {
    why = path + ": no points (one line each after the names)";
    return false;
  }
  return true;
}
