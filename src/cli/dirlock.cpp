// Locks on the directories a run writes its outputs to, held while they
// are written and renamed into place: two translations at once into one
// directory write their sets one after the other, never mixed. A lock on
// the directory itself, so no lock file appears among the user's files;
// taken in one order (device, inode) so that two runs never wait on each
// other. POSIX flock: released by the system on every way out.
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <utility>
#include "cli/cli.h"

DirLocks::DirLocks(const std::vector<std::string>& dirs) {
  std::vector<std::pair<std::pair<dev_t, ino_t>, int>> open;
  for (const std::string& d : dirs) {
    int fd = ::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0) continue;
    if (fstat(fd, &st) != 0) {
      close(fd);
      continue;
    }
    open.push_back({{st.st_dev, st.st_ino}, fd});
  }
  std::sort(open.begin(), open.end());
  for (size_t i = 0; i < open.size(); ++i) {
    if (i > 0 && open[i].first == open[i - 1].first) {  // one directory, two names
      close(open[i].second);
      continue;
    }
    while (flock(open[i].second, LOCK_EX) != 0 && errno == EINTR) {
    }
    fds.push_back(open[i].second);
  }
}

DirLocks::~DirLocks() {
  for (int fd : fds) close(fd);
}
