// The input and output half of the benchmark's floor: what any program that reads the same
// files and writes the same bytes must at least spend, done in one process with one buffer.
//
//   floor [--read FILE ...] [--copy SUFFIX FILE ...]
//
// --read reads each FILE to its end and drops the bytes. --copy copies each FILE to FILE
// followed by SUFFIX, in the folder where the run wrote FILE; the copy must not exist yet.
// Both go through one 128 KiB buffer, the size GNU cat uses; unlike cat, which maps a fresh
// buffer for every file, thousands of small files cost their reading and writing only.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<char> buffer(128 * 1024);

bool write_all(int fd, const char* data, ssize_t size) {
  while (size > 0) {
    const ssize_t done = write(fd, data, static_cast<size_t>(size));
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += done;
    size -= done;
  }
  return true;
}

// Reads `from` to its end; writes what it reads to `to` unless `to` is empty.
bool pass(const char* from, const std::string& to) {
  const int in = open(from, O_RDONLY);
  if (in < 0) return false;
  const int out = to.empty() ? -1 : open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  bool ok = to.empty() || out >= 0;
  while (ok) {
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    ok = out < 0 || write_all(out, buffer.data(), got);
  }
  const int saved = errno;
  close(in);
  if (out >= 0 && close(out) != 0) return false;
  errno = saved;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char* suffix = nullptr;  // null while reading, the suffix while copying
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--read") {
      suffix = nullptr;
    } else if (arg == "--copy" && i + 1 < argc) {
      suffix = argv[++i];
    } else if (arg.starts_with("--")) {
      std::fprintf(stderr, "usage: floor [--read FILE ...] [--copy SUFFIX FILE ...]\n");
      return 2;
    } else if (!pass(argv[i], suffix ? argv[i] + std::string(suffix) : std::string())) {
      std::fprintf(stderr, "floor: %s: %s\n", argv[i], std::strerror(errno));
      return 1;
    }
  }
  return 0;
}
