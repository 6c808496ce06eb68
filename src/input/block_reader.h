// Reads a text file in large blocks and hands out lines and runs of characters.
//
// Both alignment readers, input detection and the paths file read through this class, so the
// line-end rule lives here once: a line ends at "\n", and a carriage return directly before
// that "\n" belongs to the line end (it is never part of a line's text, a name, a path or a
// sequence). A carriage return anywhere else is an ordinary character.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace selvane {

class BlockReader {
 public:
  // Largest block read at once; smaller files get a buffer just big enough for them. Small
  // enough for the second level of the cache: the scanner reads each block right after the
  // system copied it in, and a buffer of few pages costs few page faults to set up.
  static constexpr std::size_t kBlockSize = std::size_t{128} << 10;

  // Opens the file for reading; nullopt when it cannot be opened (errno then tells why). Only a
  // regular file is opened: a FIFO, a device, a socket or a directory counts as a file that
  // cannot be opened, and is refused at once, without being read and without waiting for a
  // writer; `not_regular` (when given) then says what it is ("a FIFO", "a directory", ...), and
  // stays empty otherwise. A UTF-8 byte-order mark at the very start of the file is skipped.
  static std::optional<BlockReader> open(const std::string& path,
                                         std::string* not_regular = nullptr);

  BlockReader(BlockReader&&) noexcept;
  BlockReader& operator=(BlockReader&&) noexcept;
  ~BlockReader();

  // Size of the file in bytes when the system knows it (0 otherwise); a capacity hint.
  std::size_t size_hint() const { return size_hint_; }

  // Reads the next line, whole, into `text` without its line end. Returns false at the end of
  // the file (no character left). `ended` tells whether a line end closed the line (false only
  // for a last line that lacks one).
  bool read_line(std::string& text, bool* ended = nullptr);
  // Consumes the rest of the current line, its line end included, without keeping it.
  void skip_line();

  // The next character without consuming it, or EOF.
  int peek();
  // Consumes and returns the next character, or EOF.
  int get();

  // Direct access for fast scanning: the unread characters of the current block (refilled when
  // empty); an empty result means end of file. consume(n) marks n of them as read.
  std::string_view buffered();
  void consume(std::size_t n);

 private:
  BlockReader(std::FILE* file, std::string path);
  // Fills the buffer when it is empty; false at the end of the file. A read error is fatal
  // ("\nFile not read"): it must never pass for the end of the file.
  bool refill();
  void skip_byte_order_mark();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::unique_ptr<char[]> buf_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::size_t size_hint_ = 0;
  std::size_t capacity_ = 0;
  bool eof_ = false;
};

}  // namespace selvane
