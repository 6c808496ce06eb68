// Buffered output: the one way the program writes standard output and files.
//
// Text is gathered in a large buffer and handed to the C library in big pieces, so writers may
// put single characters without paying a library call each. Write errors after a successful
// open are ignored, as for every output of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace selvane {

class Writer {
 public:
  // Size of the buffer: text is handed to the system in pieces of about this size.
  static constexpr std::size_t kCapacity = std::size_t{1} << 18;

  // Standard output; never closed by the writer.
  static Writer to_stdout();
  // An already open stream (tests capture output through open_memstream); not closed by us.
  static Writer to_stream(std::FILE* stream);
  // Creates or replaces the file; a file that cannot be opened is fatal ("\nFile not opened").
  // Write errors after that are ignored, unless `report_write_errors` asks close() to make them
  // fatal ("\nFile not written"): a caller that promises a truthful exit status must not let a
  // full disk pass for success.
  static Writer create(const std::string& path, bool report_write_errors = false);

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
  // Flushes and closes a file; further writes are not allowed.
  void close();

 private:
  Writer(std::FILE* file, bool owned);
  void drain();
  void write_past_buffer(std::string_view text);
  // Flushes and closes without ever throwing (the destructor's part of close()).
  void release() noexcept;

  std::FILE* file_;
  bool owned_;
  bool report_write_errors_ = false;
  bool failed_ = false;  // some write, flush or close went wrong
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
};

}  // namespace selvane
