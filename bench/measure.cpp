// Runs one command and reports its wall time, CPU time and peak memory, for the benchmark scripts.
//
//   measure REPORT COMMAND [ARGUMENT ...]
//
// The command inherits the standard streams. When it has ended, REPORT receives one line:
// "WALL_SECONDS PEAK_KIB STATUS CPU_SECONDS", where PEAK_KIB is the command's maximum resident
// set size as the kernel counts it, STATUS its exit status (128 + the signal when a signal ended
// it) and CPU_SECONDS its user and system time, which the load of a busy machine changes far
// less than the wall time.
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
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  std::fprintf(report, "%.6f %ld %d %.3f\n", wall.count(), usage.ru_maxrss, code,
               seconds(usage.ru_utime) + seconds(usage.ru_stime));
  return std::fclose(report) == 0 ? 0 : 1;
}
