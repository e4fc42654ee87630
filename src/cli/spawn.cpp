// Several programs at once (the tasks of a sweep, blocks of replications):
// started with an argument vector, never through a shell, and waited for
// in any order. Only the commands use this.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include "cli/sweep.h"

long STARTPROGRAM(const std::vector<std::string>& argv, const std::string& cwd,
                  const std::string& log, std::string& why) {
  if (argv.empty()) {
    why = "nothing to run";
    return -1;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // The child reports a failed exec through this pipe; it closes on exec.
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    why = std::strerror(errno);
    return -1;
  }
  pid_t pid = fork();
  if (pid < 0) {
    why = std::strerror(errno);
    close(fds[0]);
    close(fds[1]);
    return -1;
  }
  if (pid == 0) {
    close(fds[0]);
    int e = 0;
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) e = errno;
    if (!e && !log.empty()) {
      int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || dup2(fd, 1) < 0 || dup2(fd, 2) < 0) e = errno;
      int nul = open("/dev/null", O_RDONLY);
      if (nul >= 0) dup2(nul, 0);
    }
    if (!e) {
      execvp(args[0], args.data());
      e = errno;
    }
    ssize_t n = write(fds[1], &e, sizeof e);
    (void)n;
    _exit(127);
  }
  close(fds[1]);
  int e = 0;
  ssize_t n;
  do n = read(fds[0], &e, sizeof e);
  while (n < 0 && errno == EINTR);
  close(fds[0]);
  if (n == static_cast<ssize_t>(sizeof e)) {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    why = argv[0] + ": " + std::strerror(e);
    return -1;
  }
  return pid;
}

namespace {
int CODEOF(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 1;
}
}  // namespace

int WAITPROGRAM(long pid) {
  int status = 0;
  while (waitpid(static_cast<pid_t>(pid), &status, 0) < 0)
    if (errno != EINTR) return 127;
  return CODEOF(status);
}

long WAITANY(int& code) {
  int status = 0;
  pid_t p;
  while ((p = waitpid(-1, &status, 0)) < 0)
    if (errno != EINTR) return -1;
  code = CODEOF(status);
  return p;
}
