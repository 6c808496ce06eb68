#include "input/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace selvane {

namespace {

// What a file that is not a regular file is, for the message that refuses it.
const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

}  // namespace

std::string ByteSource::error_text(int error) const {
  return std::strerror(error);
}

std::string input_path(std::string_view argument) {
  struct stat info;
  if (argument != "-" || ::lstat("-", &info) == 0) return std::string(argument);
  return std::string(kStandardInput);
}

bool names_standard_input(const std::string& path) {
  if (path == kStandardInput) return true;
  struct stat in;
  if (::fstat(STDIN_FILENO, &in) != 0 || S_ISREG(in.st_mode)) return false;
  struct stat named;
  return ::stat(path.c_str(), &named) == 0 && named.st_dev == in.st_dev &&
         named.st_ino == in.st_ino;
}

namespace {

// A pipe holds 64 KiB by default: its writer and its reader then take turns every 64 KiB. A
// larger pipe lets each side run on; where the system refuses, the pipe stays as it was.
void widen_pipe(int fd) {
#if defined(F_SETPIPE_SZ)
  ::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#else
  static_cast<void>(fd);
#endif
}

std::unique_ptr<FdSource> refused(mode_t mode, std::string* not_regular, const char* kind) {
  if (not_regular != nullptr) *not_regular = kind != nullptr ? kind : kind_of(mode);
  errno = S_ISDIR(mode) ? EISDIR : EINVAL;
  return nullptr;
}

// Standard input itself, through a descriptor of its own (closing the source leaves it open):
// a pipe, a socket or a regular file (from its present offset), never a terminal or a device,
// which would wait for typing or never end.
std::unique_ptr<FdSource> open_standard_input(const std::string& path, std::string* not_regular) {
  struct stat info;
  if (::fstat(STDIN_FILENO, &info) != 0) return nullptr;
  if (S_ISDIR(info.st_mode) || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
    return refused(info.st_mode, not_regular, ::isatty(STDIN_FILENO) ? "a terminal" : nullptr);
  }
  const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  if (S_ISFIFO(info.st_mode)) widen_pipe(fd);
  std::size_t left = 0;
  if (S_ISREG(info.st_mode)) {
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && at < info.st_size) left = static_cast<std::size_t>(info.st_size - at);
  }
  return std::make_unique<FdSource>(fd, path, left, S_ISREG(info.st_mode), true);
}

// A FIFO the user gave: opened without O_NONBLOCK, so that it waits for its writer (a reader
// that found no writer yet would take the FIFO for empty).
std::unique_ptr<FdSource> open_fifo(const std::string& path, std::string* not_regular) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return nullptr;
  }
  if (!S_ISFIFO(info.st_mode) && !S_ISREG(info.st_mode)) {
    ::close(fd);
    return refused(info.st_mode, not_regular, nullptr);
  }
  const bool regular = S_ISREG(info.st_mode);  // replaced by a regular file meanwhile
  if (!regular) widen_pipe(fd);
  return std::make_unique<FdSource>(fd, path, regular ? static_cast<std::size_t>(info.st_size) : 0,
                                    regular, !regular);
}

}  // namespace

std::unique_ptr<FdSource> FdSource::open(const std::string& path, std::string* not_regular,
                                         Opening opening) {
  if (not_regular != nullptr) not_regular->clear();
  const bool input = opening == Opening::kInput;
  if (input && path == kStandardInput) return open_standard_input(path, not_regular);
  // Looked at before opening: opening a device may already do something, and opening a FIFO
  // waits for a writer.
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    if (input && S_ISFIFO(info.st_mode)) return open_fifo(path, not_regular);
    return refused(info.st_mode, not_regular, nullptr);
  }
  // Without O_NONBLOCK, opening a FIFO that appeared since would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  const bool examined = ::fstat(fd, &info) == 0;
  const int flags = examined && S_ISREG(info.st_mode) ? ::fcntl(fd, F_GETFL) : -1;
  if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    const int error = errno;
    ::close(fd);
    if (examined && !S_ISREG(info.st_mode)) return refused(info.st_mode, not_regular, nullptr);
    errno = error;
    return nullptr;
  }
  return std::make_unique<FdSource>(fd, path, static_cast<std::size_t>(info.st_size));
}

FdSource::~FdSource() {
  ::close(fd_);
}

SourceRead FdSource::read(char* to, std::size_t n) {
  for (;;) {
    const ssize_t got = ::read(fd_, to, n);
    if (got >= 0) return {static_cast<std::size_t>(got), 0};
    if (errno != EINTR) return {0, errno};
  }
}

bool FdSource::tail(char* to, std::size_t n) const {
  struct stat info;
  if (!regular_ || ::fstat(fd_, &info) != 0 || info.st_size < static_cast<off_t>(n)) return false;
  return ::pread(fd_, to, n, info.st_size - static_cast<off_t>(n)) == static_cast<ssize_t>(n);
}

}  // namespace selvane
