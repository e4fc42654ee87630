// The parameter file of a model with FACTORS and RESPONSES, as the built
// program reads and writes it: 13 records of 128 bytes, little-endian
// 32-bit counts, names as Pascal strings of 8 characters (a length byte,
// then the text, padded with blanks), values as 64-bit doubles. Record 0
// the factor names asked for, 1 the response names asked for, 2 the factor
// values, 3 the responses of the run, 5 and 6 the program's own names,
// 12 the seeds of the ten streams.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include "cli/sweep.h"
#include "ground/text.h"

namespace {

constexpr size_t NAMELEN = 8;

void PUTINT(std::string& b, size_t at, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((u >> (8 * i)) & 0xff);
}

int32_t GETINT(const std::string& b, size_t at) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return static_cast<int32_t>(u);
}

size_t RECORD(int r) { return static_cast<size_t>(r) * PARAMRECORD; }

}  // namespace

std::string PARAMFILENAME(const std::string& modelfile) {
  // the model's file name less its last three characters, then D01
  std::string n = modelfile.size() > 3 ? modelfile.substr(0, modelfile.size() - 3) : "";
  return n + "D01";
}

std::string PARAMKEY(const std::string& name) {
  std::string k = UPPER(name);
  k.resize(NAMELEN, ' ');
  return k;
}

ParamFile::ParamFile() : bytes(PARAMRECORD * PARAMRECORDS, '\0') {}

bool ParamFile::load(const std::string& path, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = path + ": cannot be read";
    return false;
  }
  std::string b((std::istreambuf_iterator<char>(in)), {});
  if (b.size() < bytes.size()) {
    why = path + ": " + std::to_string(b.size()) + " bytes, " + std::to_string(bytes.size()) +
          " expected";
    return false;
  }
  bytes = b;
  return true;
}

bool ParamFile::save(const std::string& path, std::string& why) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  if (!out) {
    why = path + ": cannot be written";
    return false;
  }
  return true;
}

void ParamFile::setnames(int record, const std::vector<std::string>& names) {
  size_t at = RECORD(record);
  size_t n = std::min<size_t>(names.size(), PARAMMAX);
  PUTINT(bytes, at, static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    size_t p = at + 4 + i * (NAMELEN + 1);
    bytes[p] = static_cast<char>(NAMELEN);
    std::string k = PARAMKEY(names[i]);
    std::memcpy(&bytes[p + 1], k.data(), NAMELEN);
  }
}

std::vector<std::string> ParamFile::names(int record) const {
  size_t at = RECORD(record);
  int32_t n = GETINT(bytes, at);
  std::vector<std::string> v;
  if (n < 0 || n > PARAMMAX) return v;
  for (int32_t i = 0; i < n; ++i) {
    size_t p = at + 4 + static_cast<size_t>(i) * (NAMELEN + 1);
    size_t len = std::min<size_t>(static_cast<unsigned char>(bytes[p]), NAMELEN);
    std::string s = bytes.substr(p + 1, len);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    v.push_back(s);
  }
  return v;
}

void ParamFile::setvalues(int record, const std::vector<double>& values) {
  size_t at = RECORD(record);
  for (size_t i = 0; i < values.size() && i < PARAMMAX; ++i)
    std::memcpy(&bytes[at + 8 * i], &values[i], 8);
}

std::vector<double> ParamFile::values(int record, size_t n) const {
  size_t at = RECORD(record);
  std::vector<double> v(std::min<size_t>(n, PARAMMAX));
  for (size_t i = 0; i < v.size(); ++i) std::memcpy(&v[i], &bytes[at + 8 * i], 8);
  return v;
}
