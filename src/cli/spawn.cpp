// Several programs at once (the tasks of a sweep, blocks of replications):
// started with an argument vector, never through a shell, and waited for
// in any order. Only the commands use this.
#include <sys/wait.h>
#include <cerrno>
#include <cstring>
#include "cli/cli.h"
#include "cli/sweep.h"

long STARTPROGRAM(const std::vector<std::string>& argv, const std::string& cwd,
                  const std::string& log, std::string& why) {
  if (argv.empty()) {
    why = "nothing to run";
    return -1;
  }
  int e = 0;
  bool execfailed = false;
  long pid = FORKEXEC(argv, cwd, log, e, execfailed);
  if (pid < 0) why = execfailed ? argv[0] + ": " + std::strerror(e) : std::strerror(e);
  return pid;
}

int WAITPROGRAM(long pid) {
  int status = 0;
  while (waitpid(static_cast<pid_t>(pid), &status, 0) < 0)
    if (errno != EINTR) return 127;
  return EXITCODEOF(status);
}

long WAITANY(int& code) {
  int status = 0;
  pid_t p;
  while ((p = waitpid(-1, &status, 0)) < 0)
    if (errno != EINTR) return -1;
  code = EXITCODEOF(status);
  return p;
}
