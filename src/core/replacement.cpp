#include "core/replacement.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/fatal.h"
#include "core/file_identity.h"
#include "core/pending_files.h"

namespace selvane {

namespace {

// The mode a new file gets from a plain open for writing.
mode_t new_file_mode() {
  static const mode_t mask = [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return 0666 & ~mask;
}

[[noreturn]] void not_opened(const std::string& path, int error) {
  fatal("\nFile not opened", path + ": cannot create the output file: " + std::strerror(error));
}

// What a failed write left under the output's name, for its message.
enum class Left {
  kTouched,  // an old file written over in place: nothing can be promised
  kAsItWas,  // the old file, untouched
  kNoFile,   // nothing: there was no file before
};

[[noreturn]] void not_written(const std::string& path, int error, Left left) {
  fatal("\nFile not written", path + ": cannot write the output file: " + std::strerror(error) +
                                  (left == Left::kAsItWas  ? "; the file is left as it was"
                                   : left == Left::kNoFile ? "; no file is created"
                                                           : ""));
}

// A stream on `fd` for our own buffered writes; fatal (and `fd` closed) when none can be had.
std::FILE* stream_on(int fd, const std::string& path) {
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    ::close(fd);
    not_opened(path, error);
  }
  // Our own buffer does the batching; the C library's would only copy again.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

}  // namespace

Replacement::Replacement(std::string path, std::FILE* file, std::string temp, std::string target,
                         int slot)
    : path_(std::move(path)),
      file_(file),
      temp_(std::move(temp)),
      target_(std::move(target)),
      slot_(slot) {}

Replacement::Replacement(Replacement&& other) noexcept
    : path_(std::move(other.path_)),
      file_(std::exchange(other.file_, nullptr)),
      temp_(std::move(other.temp_)),
      target_(std::move(other.target_)),
      slot_(std::exchange(other.slot_, -1)),
      overwritten_(std::exchange(other.overwritten_, -1)),
      existed_(other.existed_) {
  other.temp_.clear();
}

Replacement::~Replacement() {
  abandon();
}

Replacement Replacement::open(const std::string& path) {
  const std::string target = write_target(path);
  struct stat info;
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) not_opened(path, EISDIR);
  const auto in_place = [&] {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) not_opened(path, errno);
    return Replacement(path, stream_on(fd, path), {}, target, -1);
  };
  if (exists && !S_ISREG(info.st_mode)) return in_place();
  // The old file is replaced only where it could have been overwritten.
  if (exists && ::access(target.c_str(), W_OK) != 0) not_opened(path, errno);

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.empty()) not_opened(path, EISDIR);
  // ".NAME.XXXXXX" must fit the longest file name a folder takes (255 bytes).
  if (name.size() > 200) name.resize(200);
  std::string temp = folder + "." + name + ".XXXXXX";
  int fd = -1;
  int slot = -1;
  int error = 0;
  {
    SignalBlock block;  // no signal between creating the file and holding its name
    fd = ::mkstemp(temp.data());
    if (fd < 0) {
      error = errno;
    } else {
      slot = hold_pending(temp.c_str());
    }
  }
  if (fd < 0) {
    // A folder that refuses new files by permission: the old file is overwritten, as a plain open
    // for writing would. Any other refusal (no inode or quota left, ...) would stop that writing
    // half-way too: the old file is kept as it is.
    if (exists && (error == EACCES || error == EPERM)) return overwrite(path, target);
    if (exists) not_written(path, error, Left::kAsItWas);
    not_opened(path, error);
  }
  // The mode (and, where we may set it, the owner) the file would have kept or got from a plain
  // open for writing; mkstemp creates it private.
  if (exists && ::fchown(fd, info.st_uid, info.st_gid) != 0) {
    // Only the superuser may give a file away; anyone else keeps what mkstemp gave.
  }
  if (::fchmod(fd, exists ? (info.st_mode & 0777) : new_file_mode()) != 0) {
    // The temporary file stays private: no reason to stop the run.
  }
  Replacement opened(path, nullptr, std::move(temp), target, slot);
  opened.file_ = stream_on(fd, path);
  opened.existed_ = exists;
  return opened;
}

Replacement Replacement::overwrite(const std::string& path, const std::string& target) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) not_opened(path, errno);
  // The text is gathered in an unnamed file elsewhere and copied over the old file at the end;
  // where the temporary folder refuses it (a /tmp not open to every user), in memory.
  std::FILE* staging = std::tmpfile();
  if (staging == nullptr) {
    const int memory = ::memfd_create("selvane-staging", MFD_CLOEXEC);
    if (memory >= 0) {
      staging = ::fdopen(memory, "w+b");
      if (staging == nullptr) ::close(memory);
    }
  }
  if (staging == nullptr) {
    // Nowhere to gather it: written straight over, as a plain open for writing would.
    if (::ftruncate(fd, 0) != 0) {
      const int error = errno;
      ::close(fd);
      not_opened(path, error);
    }
    return Replacement(path, stream_on(fd, path), {}, target, -1);
  }
  std::setvbuf(staging, nullptr, _IONBF, 0);
  Replacement opened(path, staging, {}, target, -1);
  opened.overwritten_ = fd;
  opened.existed_ = true;
  return opened;
}

int Replacement::copy_staged(bool& kept) {
  const int from = ::fileno(file_);
  struct stat staged;
  struct stat old;
  if (::fstat(from, &staged) != 0 || ::fstat(overwritten_, &old) != 0) return errno;
  // Room for the whole text first: a disk too full for it leaves the old file as it was (a
  // reservation that failed part-way may have made it longer).
  const int reserved = staged.st_size > 0 ? ::posix_fallocate(overwritten_, 0, staged.st_size) : 0;
  if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
    if (::ftruncate(overwritten_, old.st_size) != 0) kept = false;
    return reserved;
  }
  kept = false;
  if (::lseek(from, 0, SEEK_SET) != 0) return errno;
  char buffer[1 << 16];
  for (ssize_t got; (got = ::read(from, buffer, sizeof buffer)) != 0;) {
    if (got < 0) return errno;
    for (ssize_t put = 0; put < got;) {
      const ssize_t n = ::write(overwritten_, buffer + put, static_cast<std::size_t>(got - put));
      if (n < 0) return errno;
      put += n;
    }
  }
  return ::ftruncate(overwritten_, staged.st_size) != 0 ? errno : 0;
}

void Replacement::commit(int write_error) {
  int error = write_error;
  // Until the old file is touched, it stays as it was.
  bool kept = !temp_.empty() || overwritten_ >= 0;
  if (overwritten_ >= 0) {
    // A run stopped half-way through the copy would leave the file torn: the old text with the
    // new one's length, its tail zeros. A stop asked for meanwhile (Ctrl-C, kill) waits until
    // the copy is over, and is then carried out with the usual cleanup. Only SIGKILL cannot wait.
    SignalBlock block;
    if (error == 0) error = copy_staged(kept);
    if (::close(overwritten_) != 0 && error == 0) error = errno;
    overwritten_ = -1;
  }
  if (file_ != nullptr && std::fclose(file_) != 0 && error == 0) error = errno;
  file_ = nullptr;
  if (error == 0 && !temp_.empty() && ::rename(temp_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    abandon();
    not_written(path_, error, !kept ? Left::kTouched : existed_ ? Left::kAsItWas : Left::kNoFile);
  }
  release_pending(slot_);
  slot_ = -1;
  temp_.clear();
}

void Replacement::abandon() noexcept {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (overwritten_ >= 0) ::close(overwritten_);
  overwritten_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  release_pending(slot_);
  slot_ = -1;
}

}  // namespace selvane
