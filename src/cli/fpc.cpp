// fpc as the commands use it: the command that builds a generated program
// and the errors read back from its output.
#include <cctype>
#include "cli/cli.h"

namespace {
// "FILE(LINE,COL) Error: TEXT" or "FILE(LINE) Fatal: TEXT"; false for any
// other line.
bool PARSELINE(std::string_view l, FpcError& e) {
  size_t kind = std::string_view::npos;
  for (std::string_view k : {") Error: ", ") Fatal: "}) {
    size_t p = l.find(k);
    if (p != std::string_view::npos && p < kind) kind = p;
  }
  if (kind == std::string_view::npos) return false;
  size_t open = l.rfind('(', kind);
  if (open == std::string_view::npos || open == 0) return false;
  std::string_view nums = l.substr(open + 1, kind - open - 1);
  int v[2] = {0, 0}, n = 0;
  bool digit = false;
  for (char ch : nums) {
    if (std::isdigit(static_cast<unsigned char>(ch))) {
      v[n] = v[n] * 10 + (ch - '0');
      digit = true;
    } else if (ch == ',' && n == 0 && digit) {
      n = 1;
      digit = false;
    } else {
      return false;
    }
  }
  if (!digit) return false;
  e.file = std::string(l.substr(0, open));
  e.line = v[0];
  e.col = v[1];
  e.text = std::string(l.substr(kind + 9));
  return true;
}

// fpc's own closing lines after the errors it already gave.
bool SUMMARY(std::string_view text) {
  return text.rfind("There were ", 0) == 0 || text.rfind("Compilation aborted", 0) == 0;
}
}  // namespace

std::vector<FpcError> FPCERRORS(std::string_view log) {
  std::vector<FpcError> errors;
  size_t pos = 0;
  while (pos < log.size()) {
    size_t end = log.find('\n', pos);
    if (end == std::string_view::npos) end = log.size();
    std::string_view l = log.substr(pos, end - pos);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    pos = end + 1;
    FpcError e;
    if (PARSELINE(l, e) && !SUMMARY(e.text)) errors.push_back(std::move(e));
  }
  return errors;
}

// Compiled units go
// to units.fpc/ (a dot, so no program name can take it).
std::vector<std::string> FPCCOMMAND(const std::string& rt, const std::string& main) {
  return {"fpc", "-Mdelphi", "-Fu" + rt, "-FUunits.fpc", "-FE.", main};
}
