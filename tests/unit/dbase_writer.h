// A small dBase III writer for the tests: header, field descriptors and
// records. Its layout is checked against shapelib's dbfcreate/dbfadd by
// dbase_fixtures_test.cpp.
#pragma once
#include <string>
#include <vector>

struct DbfField {
  std::string name;
  char type;
  int width, dec;
};

// records: the text of each record without its deletion mark, each exactly
// as wide as the fields.
inline std::string DBF(const std::vector<DbfField>& fields,
                       const std::vector<std::string>& records) {
  auto le = [](std::string& s, size_t at, unsigned v, int n) {
    for (int i = 0; i < n; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
  };
  int reclen = 1;
  for (const DbfField& f : fields) reclen += f.width;
  std::string h(32, '\0');
  h[0] = 3;
  le(h, 4, static_cast<unsigned>(records.size()), 4);
  le(h, 8, static_cast<unsigned>(32 + 32 * fields.size() + 1), 2);
  le(h, 10, static_cast<unsigned>(reclen), 2);
  for (const DbfField& f : fields) {
    std::string d(32, '\0');
    d.replace(0, f.name.size(), f.name);
    d[11] = f.type;
    d[16] = static_cast<char>(f.width);
    d[17] = static_cast<char>(f.dec);
    h += d;
  }
  h += '\r';
  for (const std::string& r : records) h += " " + r;
  return h + '\x1a';
}
