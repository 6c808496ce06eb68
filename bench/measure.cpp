// Runs one command and reports its wall time and peak memory, for the benchmark script.
//
//   measure REPORT COMMAND [ARGUMENT ...]
//
// The command inherits the standard streams. When it has ended, REPORT receives one line:
// "WALL_SECONDS PEAK_KIB STATUS", where PEAK_KIB is the command's maximum resident set size as
// the kernel counts it and STATUS its exit status (128 + the signal when a signal ended it).
// measure itself exits 0 once the report is written, whatever the command returned.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: measure REPORT COMMAND [ARGUMENT ...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[2], nullptr, nullptr, argv + 2, environ);
  if (spawned != 0) {
    std::fprintf(stderr, "measure: cannot run %s: %s\n", argv[2], std::strerror(spawned));
    return 1;
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::perror("measure: wait4");
      return 1;
    }
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);

  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) {
    std::perror("measure: report");
    return 1;
  }
  std::fprintf(report, "%.6f %ld %d\n", wall.count(), usage.ru_maxrss, code);
  return std::fclose(report) == 0 ? 0 : 1;
}
