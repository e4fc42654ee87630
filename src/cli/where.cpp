// Where the commands find the runtime units. The only file built with the
// paths of this checkout, for the program built in it.
#include <filesystem>
#include "cli/cli.h"

namespace fs = std::filesystem;

namespace {
bool HASUNITS(const fs::path& d) {
  std::error_code ec;
  return fs::is_regular_file(d / "rtkern.pas", ec) || fs::is_regular_file(d / "rtkern.ppu", ec);
}
}  // namespace

std::string RUNTIMEDIR(const std::string& self) {
  if (self.empty()) return "";
  fs::path bin = fs::path(self).parent_path();
  fs::path installed = bin / ".." / "lib" / "talven" / "runtime";
  if (HASUNITS(installed)) return fs::weakly_canonical(installed).string();
#if defined(TALVEN_BUILD_DIR) && defined(TALVEN_SOURCE_DIR)
  // A program of this build tree uses the tree's own runtime; an
  // installed copy never reaches back into the sources.
  fs::path tree = fs::path(TALVEN_SOURCE_DIR) / "runtime";
  std::error_code ec;
  if (fs::equivalent(bin, TALVEN_BUILD_DIR, ec) && HASUNITS(tree)) return tree.string();
#endif
  return "";
}
