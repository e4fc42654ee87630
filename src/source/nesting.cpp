// Nesting levels: the guard every recursive translator opens on entry
// (PREXP, PRINS, BUTYPE, PROVAR, PRCA). It counts the levels in Source and
// measures the stack they use from the outermost one, so that a model
// nested beyond reason ends with a model error at the place reached.
#include <cstdint>
#include "ground/compiler.h"
#include "source/source.h"

namespace {
// Where a local of the caller lies; only distances between two of them
// are used, whichever way the stack grows.
std::uintptr_t ADDRESS(const void* local) { return reinterpret_cast<std::uintptr_t>(local); }
}  // namespace

size_t STACKUSED(const Source& s) {
  char here;
  if (!s.STACKTOP) return 0;
  std::uintptr_t a = ADDRESS(&here), b = s.STACKTOP;
  return a < b ? b - a : a - b;
}

NESTED::NESTED(Compiler& c) : s(c.src) {
  char here;
  if (s.NESTING == 0) s.STACKTOP = ADDRESS(&here);
  size_t room = c.drv.STACKROOM ? c.drv.STACKROOM : STACKDEFAULT;
  if (s.NESTING >= MAXNESTING || STACKUSED(s) > room) ERROR(c, "nesting too deep");
  ++s.NESTING;
}
