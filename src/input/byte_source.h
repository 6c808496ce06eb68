// Where the bytes of an input come from. The block reader reads through this interface only, so
// that a file opened by name, an inherited descriptor or a decompressor are one code path for
// every reader above it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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
  // Whether the input can be read only once (standard input, a pipe): opening its name again
  // would not give its bytes again.
  virtual bool read_once() const { return false; }
  // The last `n` bytes of the input into `to`, read without moving through it, when the source
  // can tell them (a regular file); false otherwise.
  virtual bool tail(char* /*to*/, std::size_t /*n*/) const { return false; }

  // The input's name as messages give it: the path as the user wrote it.
  const std::string& name() const { return name_; }

 protected:
  explicit ByteSource(std::string name) : name_(std::move(name)) {}

 private:
  std::string name_;
};

// How standard input is named once it is the input: "-" as the user writes it becomes this path,
// which names it in messages and reports, in the check that no output overwrites an input, and
// (as a file of /dev) in the naming of its outputs.
inline constexpr std::string_view kStandardInput = "/dev/stdin";

// The input the user named `argument`: "-" is standard input (kStandardInput) unless a file of
// that name exists, which stays the input, as any name does.
std::string input_path(std::string_view argument);

// Whether `path` names the standard input the menus read their answers from, which therefore
// cannot be their input too: kStandardInput, or any name of it while it is no regular file (a
// pipe as /dev/fd/0).
bool names_standard_input(const std::string& path);

// What FdSource::open opens.
enum class Opening : std::uint8_t {
  // A regular file only: anything else is refused at once, without being read and without
  // waiting for a writer (a path read from a file, a listed alignment).
  kRegularFile,
  // What a user may give as the input: also a FIFO (process substitution is one), opened when a
  // writer comes, and standard input (kStandardInput: the descriptor itself, a pipe, a socket or
  // a regular file, but no terminal). Every other kind of file is refused as above.
  kInput,
};

// A file descriptor, read with read(2) and closed with the source.
class FdSource final : public ByteSource {
 public:
  // Opens `path` for reading; null when it cannot be opened (errno then tells why). A file of a
  // kind `opening` does not open counts as a file that cannot be opened; `not_regular` (when
  // given) then says what it is ("a FIFO", "a directory", ...), and stays empty otherwise.
  static std::unique_ptr<FdSource> open(const std::string& path, std::string* not_regular = nullptr,
                                        Opening opening = Opening::kRegularFile);

  // `size_hint`: the bytes left to read when known, else 0; `regular`: a regular file, whose
  // tail can be read without reading up to it; `once`: see read_once().
  FdSource(int fd, std::string name, std::size_t size_hint, bool regular = true, bool once = false)
      : ByteSource(std::move(name)),
        fd_(fd),
        size_hint_(size_hint),
        regular_(regular),
        once_(once) {}
  FdSource(const FdSource&) = delete;
  FdSource& operator=(const FdSource&) = delete;
  ~FdSource() override;

  SourceRead read(char* to, std::size_t n) override;
  std::size_t size_hint() const override { return size_hint_; }
  bool read_once() const override { return once_; }
  bool tail(char* to, std::size_t n) const override;

 private:
  int fd_;
  std::size_t size_hint_;
  bool regular_;
  bool once_;
};

}  // namespace selvane
