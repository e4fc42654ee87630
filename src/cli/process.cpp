// Other programs run by the commands (fpc, the built simulation): started
// with an argument vector, never through a shell, so paths with blanks or
// quotes pass as they are. Only the commands use this; the core never
// starts a process.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include "cli/cli.h"

namespace {
// Ignores the terminal's interrupt and quit while a child runs: Ctrl-C
// reaches the child, which decides; talven then reports what it did.
struct QuietSignals {
  struct sigaction oldint {}, oldquit {};
  QuietSignals() {
    struct sigaction ign {};
    ign.sa_handler = SIG_IGN;
    sigemptyset(&ign.sa_mask);
    sigaction(SIGINT, &ign, &oldint);
    sigaction(SIGQUIT, &ign, &oldquit);
  }
  ~QuietSignals() {
    sigaction(SIGINT, &oldint, nullptr);
    sigaction(SIGQUIT, &oldquit, nullptr);
  }
};
}  // namespace

long FORKEXEC(const std::vector<std::string>& argv, const std::string& cwd,
              const std::string& log, int& err, bool& execfailed) {
  err = 0;
  execfailed = false;
  if (argv.empty()) {
    err = ENOENT;
    return -1;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // The child reports a failed exec through this pipe; it closes on exec.
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    err = errno;
    return -1;
  }
  pid_t pid = fork();
  if (pid < 0) {
    err = errno;
    close(fds[0]);
    close(fds[1]);
    return -1;
  }
  if (pid == 0) {
    signal(SIGINT, SIG_DFL);
    signal(SIGQUIT, SIG_DFL);
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
    err = e;
    execfailed = true;
    return -1;
  }
  return pid;
}

int EXITCODEOF(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 1;
}

Outcome RUNPROGRAM(const std::vector<std::string>& argv, const std::string& cwd,
                   const std::string& log) {
  Outcome r;
  if (argv.empty()) return r;
  QuietSignals quiet;
  int e = 0;
  bool execfailed = false;
  long pid = FORKEXEC(argv, cwd, log, e, execfailed);
  if (pid < 0) {
    r.notfound = execfailed && e == ENOENT;
    r.error = std::strerror(e);
    return r;
  }
  int status = 0;
  while (waitpid(static_cast<pid_t>(pid), &status, 0) < 0 && errno == EINTR) {
  }
  r.started = true;
  r.code = EXITCODEOF(status);
  return r;
}

std::string SELFPATH() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}
