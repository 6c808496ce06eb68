// Buffered output: the one way the program writes standard output and files.
//
// Text is gathered in a large buffer and handed to the C library in big pieces, so writers may
// put single characters without paying a library call each. A file is replaced whole or not at
// all (core/replacement.h); a write error on a file is fatal, one on standard output is not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/replacement.h"

namespace selvane {

class Writer {
 public:
  // Size of the buffer: text is handed to the system in pieces of about this size.
  static constexpr std::size_t kCapacity = std::size_t{1} << 18;

  // Standard output; never closed by the writer.
  static Writer to_stdout();
  // Standard output carrying data (an alignment, with --out=-): a write error there is fatal at
  // close(), as for a file ("\nFile not written").
  static Writer data_to_stdout();
  // An already open stream (tests capture output through open_memstream); not closed by us.
  static Writer to_stream(std::FILE* stream);
  // Creates or replaces the file `path`: the text goes to a temporary file that close() renames
  // over `path`. A file that cannot be created is fatal ("\nFile not opened"), and so is any
  // write error, at close() ("\nFile not written", the old file left as it was). A writer
  // destroyed before close() (an error on the way) removes its temporary file.
  static Writer create(const std::string& path);

  Writer(Writer&& other) noexcept;
  Writer& operator=(Writer&&) = delete;
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  ~Writer();

  void put(char c) {
    if (used_ == kCapacity) drain();
    buf_[used_++] = c;
  }
  // Inline for the common case, a piece that fits in the buffer: writers call this for every
  // few characters.
  void write(std::string_view text) {
    if (text.size() <= kCapacity - used_) {
      std::memcpy(buf_.get() + used_, text.data(), text.size());
      used_ += text.size();
    } else {
      write_past_buffer(text);
    }
  }
  // Writes `count` copies of `c`.
  void fill(char c, std::size_t count);
  // printf-style formatting for messages and report lines.
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // A decimal integer, as "%i" writes it.
  void number(std::int64_t value);

  // Direct filling, for writers that make many small pieces: space(n) returns where the next n
  // bytes go (n at most kCapacity), and commit(k), k <= n, adds the k bytes written there to
  // the output. No other call may come in between.
  char* space(std::size_t n) {
    if (kCapacity - used_ < n) drain();
    return buf_.get() + used_;
  }
  void commit(std::size_t n) { used_ += n; }

  // Hands everything buffered to the system (standard output before reading standard input).
  void flush();
  // Sends what follows to `stream` instead, what was written so far to the old one (a stream
  // writer only; --out=- moves the program's own text to standard error).
  void divert(std::FILE* stream);
  // Flushes and, for a file, completes it; further writes are not allowed.
  void close();
  // The errno of the first write that failed, or 0 (standard output: whether the text got out).
  int error() const { return error_; }

 private:
  explicit Writer(std::FILE* file);
  void drain();
  void write_past_buffer(std::string_view text);
  void failed();
  // After a failed write a file is lost anyway: the rest of its text is dropped, not written in
  // vain. Standard output goes on trying, as it always did.
  bool dropping() const { return output_.has_value() && error_ != 0; }

  std::FILE* file_;
  std::optional<Replacement> output_;  // a file being written
  bool data_ = false;                  // a stream whose write errors are fatal (data_to_stdout)
  int error_ = 0;  // errno of the first write that failed; later text is dropped
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
};

}  // namespace selvane
