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

std::unique_ptr<FdSource> FdSource::open(const std::string& path, std::string* not_regular) {
  const auto refuse = [&](mode_t mode) -> std::unique_ptr<FdSource> {
    if (not_regular != nullptr) *not_regular = kind_of(mode);
    errno = S_ISDIR(mode) ? EISDIR : EINVAL;
    return nullptr;
  };
  if (not_regular != nullptr) not_regular->clear();
  // Looked at before opening: opening a device may already do something.
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return refuse(info.st_mode);
  // Without O_NONBLOCK, opening a FIFO that appeared since would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  const bool examined = ::fstat(fd, &info) == 0;
  const int flags = examined && S_ISREG(info.st_mode) ? ::fcntl(fd, F_GETFL) : -1;
  if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    const int error = errno;
    ::close(fd);
    if (examined && !S_ISREG(info.st_mode)) return refuse(info.st_mode);
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

}  // namespace selvane
