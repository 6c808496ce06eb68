#include "input/block_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "core/fatal.h"

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

BlockReader::BlockReader(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}

std::optional<BlockReader> BlockReader::open(const std::string& path, std::string* not_regular) {
  const auto refuse = [&](mode_t mode) -> std::optional<BlockReader> {
    if (not_regular != nullptr) *not_regular = kind_of(mode);
    errno = S_ISDIR(mode) ? EISDIR : EINVAL;
    return std::nullopt;
  };
  if (not_regular != nullptr) not_regular->clear();
  // Looked at before opening: opening a device may already do something.
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return refuse(info.st_mode);
  // Without O_NONBLOCK, opening a FIFO that appeared since would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  const bool examined = ::fstat(fd, &info) == 0;
  if (!examined || !S_ISREG(info.st_mode)) {
    const int error = errno;
    ::close(fd);
    if (examined) return refuse(info.st_mode);
    errno = error;
    return std::nullopt;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  std::FILE* file = flags == -1 ? nullptr : ::fdopen(fd, "rb");
  if (file == nullptr || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    if (file != nullptr) {
      std::fclose(file);
    } else {
      ::close(fd);
    }
    return std::nullopt;
  }
  // We read in large blocks ourselves; the C library's buffer would only copy again.
  std::setvbuf(file, nullptr, _IONBF, 0);
  BlockReader reader(file, path);
  reader.size_hint_ = static_cast<std::size_t>(info.st_size);
  // A small file gets a small buffer: batches open thousands of them. One byte more than the
  // file lets the first read see the end of the file at once.
  reader.capacity_ =
      reader.size_hint_ > 0 ? std::min(kBlockSize, reader.size_hint_ + 1) : kBlockSize;
  reader.buf_ = std::make_unique_for_overwrite<char[]>(reader.capacity_);
  reader.skip_byte_order_mark();
  return reader;
}

void BlockReader::skip_byte_order_mark() {
  // Editors on some systems start a UTF-8 text with these three bytes; they are no part of a
  // header or a path. The first block holds at least three bytes of any file that has them.
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (buffered().starts_with(kMark)) consume(kMark.size());
}

BlockReader::BlockReader(BlockReader&& other) noexcept
    : file_(other.file_),
      path_(std::move(other.path_)),
      buf_(std::move(other.buf_)),
      begin_(other.begin_),
      end_(other.end_),
      size_hint_(other.size_hint_),
      capacity_(other.capacity_),
      eof_(other.eof_) {
  other.file_ = nullptr;
  other.begin_ = other.end_ = 0;
}

BlockReader& BlockReader::operator=(BlockReader&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = other.file_;
    path_ = std::move(other.path_);
    buf_ = std::move(other.buf_);
    begin_ = other.begin_;
    end_ = other.end_;
    size_hint_ = other.size_hint_;
    capacity_ = other.capacity_;
    eof_ = other.eof_;
    other.file_ = nullptr;
    other.begin_ = other.end_ = 0;
  }
  return *this;
}

BlockReader::~BlockReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool BlockReader::refill() {
  if (begin_ < end_) return true;
  begin_ = end_ = 0;
  if (eof_ || file_ == nullptr) return false;
  end_ = std::fread(buf_.get(), 1, capacity_, file_);
  // Only the real end of the file ends the text: a failing disk or a vanished network share
  // must not pass for a shorter alignment.
  if (end_ < capacity_ && std::ferror(file_)) {
    const int error = errno;
    end_ = 0;
    fatal("\nFile not read", path_ + ": cannot read the file: " + std::strerror(error));
  }
  if (end_ == 0) eof_ = true;
  return end_ > 0;
}

std::string_view BlockReader::buffered() {
  if (!refill()) return {};
  return std::string_view(buf_.get() + begin_, end_ - begin_);
}

void BlockReader::consume(std::size_t n) {
  begin_ += std::min(n, end_ - begin_);
}

int BlockReader::peek() {
  if (!refill()) return EOF;
  return static_cast<unsigned char>(buf_[begin_]);
}

int BlockReader::get() {
  if (!refill()) return EOF;
  return static_cast<unsigned char>(buf_[begin_++]);
}

bool BlockReader::read_line(std::string& text, bool* ended) {
  text.clear();
  bool any = false;
  for (;;) {
    const std::string_view block = buffered();
    if (block.empty()) break;
    any = true;
    const void* found = std::memchr(block.data(), '\n', block.size());
    if (found == nullptr) {
      text.append(block);
      consume(block.size());
      continue;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(found) - block.data());
    text.append(block.substr(0, length));
    consume(length + 1);
    // The carriage return of a "\r\n" line end may have come in the previous block; text
    // holds everything before the "\n" either way.
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (ended != nullptr) *ended = true;
    return true;
  }
  if (ended != nullptr) *ended = false;
  return any;
}

void BlockReader::skip_line() {
  for (;;) {
    const std::string_view block = buffered();
    if (block.empty()) return;
    const void* found = std::memchr(block.data(), '\n', block.size());
    if (found != nullptr) {
      consume(static_cast<std::size_t>(static_cast<const char*>(found) - block.data()) + 1);
      return;
    }
    consume(block.size());
  }
}

}  // namespace selvane
