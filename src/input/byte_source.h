// Where the bytes of an input come from. The block reader reads through this interface only, so
// that a file opened by name, an inherited descriptor or a decompressor are one code path for
// every reader above it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

namespace selvane {

// What one read gave: `bytes` read, or a failure with the system's reason `error` (an errno
// value). No bytes and no error is the end of the input.
struct SourceRead {
  std::size_t bytes = 0;
  int error = 0;
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Reads up to `n` bytes into `to`; fewer than `n` does not mean the end of the input (a pipe
  // hands out what it holds), only a read of none does.
  virtual SourceRead read(char* to, std::size_t n) = 0;
  // Size of the input in bytes when it is known before reading (0 otherwise): a capacity hint,
  // never a promise, since a file may change while it is read.
  virtual std::size_t size_hint() const { return 0; }
  // The reason for a failed read, in words; a decompressor may know better than errno.
  virtual std::string error_text(int error) const;

  // The input's name as messages give it: the path as the user wrote it.
  const std::string& name() const { return name_; }

 protected:
  explicit ByteSource(std::string name) : name_(std::move(name)) {}

 private:
  std::string name_;
};

// A file descriptor, read with read(2) and closed with the source.
class FdSource final : public ByteSource {
 public:
  // Opens `path` for reading; null when it cannot be opened (errno then tells why). Only a
  // regular file is opened: a FIFO, a device, a socket or a directory counts as a file that
  // cannot be opened, and is refused at once, without being read and without waiting for a
  // writer; `not_regular` (when given) then says what it is ("a FIFO", "a directory", ...), and
  // stays empty otherwise.
  static std::unique_ptr<FdSource> open(const std::string& path,
                                        std::string* not_regular = nullptr);

  FdSource(int fd, std::string name, std::size_t size_hint)
      : ByteSource(std::move(name)), fd_(fd), size_hint_(size_hint) {}
  FdSource(const FdSource&) = delete;
  FdSource& operator=(const FdSource&) = delete;
  ~FdSource() override;

  SourceRead read(char* to, std::size_t n) override;
  std::size_t size_hint() const override { return size_hint_; }

 private:
  int fd_;
  std::size_t size_hint_;
};

}  // namespace selvane
