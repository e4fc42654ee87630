// measure: runs a command a number of times and prints, on one line, the
// median wall time and the median CPU time (user plus system, the
// command's own children included) in seconds, and the largest peak
// resident memory in kilobytes. Its output is discarded; a failing run
// stops the measurement with the command's exit status.
//
// usage: measure RUNS COMMAND [ARG...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double SECONDS(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

double MEDIAN(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::atoi(argv[1]) < 1) {
    std::fprintf(stderr, "usage: measure RUNS COMMAND [ARG...]\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  std::vector<double> wall, cpu;
  long rss = 0;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0) {
      std::perror("measure: fork");
      return 2;
    }
    if (pid == 0) {
      int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      execvp(argv[2], argv + 2);
      _exit(127);
    }
    int status = 0;
    rusage use{};
    if (wait4(pid, &status, 0, &use) < 0) {
      std::perror("measure: wait4");
      return 2;
    }
    auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "measure: %s failed (status %d)\n", argv[2], status);
      return 1;
    }
    wall.push_back(std::chrono::duration<double>(end - start).count());
    cpu.push_back(SECONDS(use.ru_utime) + SECONDS(use.ru_stime));
    rss = std::max(rss, use.ru_maxrss);
  }
  std::printf("%.6f %.6f %ld\n", MEDIAN(wall), MEDIAN(cpu), rss);
  return 0;
}
