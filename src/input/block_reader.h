// Reads an input in large blocks from a byte source and hands out lines and runs of characters.
//
// Every format reader, input detection and the paths file read through this class, so the
// line-end rule lives here once: a line ends at "\n", and a carriage return directly before
// that "\n" belongs to the line end (it is never part of a line's text, a name, a path or a
// sequence). A carriage return anywhere else is an ordinary character.
//
// An input is read once, from its first byte: detection looks ahead at its first line without
// consuming it, and the format reader then reads the same bytes from the buffer. gzip data is
// decompressed on the way, known by its first bytes (see GzipSource): every reader above sees
// the text alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "input/byte_source.h"

namespace selvane {

// How the lines of an input end, as its first block shows: by the first line feed found there
// (after a carriage return or not), or by carriage returns alone when the block holds no line
// feed at all. kNone: the first block holds neither.
enum class LineEnds { kNone, kLf, kCrLf, kCr };

class BlockReader {
 public:
  // Largest block read at once; smaller files get a buffer just big enough for them. Small
  // enough for the second level of the cache: the scanner reads each block right after the
  // system copied it in, and a buffer of few pages costs few page faults to set up.
  static constexpr std::size_t kBlockSize = std::size_t{128} << 10;

  // Reads `source`, from its next byte. Nothing is read before the first character is asked
  // for; then a UTF-8 byte-order mark at the very start is skipped.
  explicit BlockReader(std::unique_ptr<ByteSource> source);

  // A reader of the file `path` (FdSource::open: by default only a regular file is opened);
  // nullopt when it cannot be opened (errno then tells why, and `not_regular`, when given, what
  // the file is when it is of a kind `opening` does not open).
  static std::optional<BlockReader> open(const std::string& path,
                                         std::string* not_regular = nullptr,
                                         Opening opening = Opening::kRegularFile);

  BlockReader(BlockReader&&) noexcept = default;
  BlockReader& operator=(BlockReader&&) noexcept = default;
  ~BlockReader() = default;

  // The input's name, for messages.
  const std::string& name() const { return source_->name(); }
  // Size of the input in bytes when the source knows it (0 otherwise); a capacity hint. For
  // compressed data, that of the data once decompressed (the first block is read to tell).
  std::size_t size_hint() {
    if (!started_) start();
    return source_->size_hint();
  }
  // Whether the input can be read only once (standard input, a pipe).
  bool read_once() const { return source_->read_once(); }
  // The line ends of the input (reads its first block when nothing was read yet).
  LineEnds line_ends();
  // The line the next unread character stands on, counted from 1.
  std::int64_t line() const { return line_feeds_ + 1; }

  // The first line among the unread characters that is not blank (a blank line has nothing
  // before its line end), without its line end; empty when none is left. Nothing is consumed:
  // the buffer grows to hold the line whole, however long, and the view stays valid until the
  // reader is next used.
  std::string_view first_nonblank_line();

  // Reads the next line, whole, into `text` without its line end. Returns false at the end of
  // the input (no character left). `ended` tells whether a line end closed the line (false
  // only for a last line that lacks one).
  bool read_line(std::string& text, bool* ended = nullptr);
  // Consumes the rest of the current line, its line end included, without keeping it.
  void skip_line();

  // The next character without consuming it, or EOF.
  int peek();
  // Consumes and returns the next character, or EOF.
  int get();

  // Direct access for fast scanning: the unread characters of the current block (refilled when
  // empty); an empty result means the end of the input. consume(n) marks n of them as read,
  // counting the line feeds among them; consume_counted(n, line_feeds) does the same for a
  // scanner that counted them already.
  std::string_view buffered();
  void consume(std::size_t n);
  void consume_counted(std::size_t n, std::size_t line_feeds);

 private:
  // The first read: the first block whole (as far as the input reaches), through a
  // decompressor when it begins compressed data, its line ends noted and a byte-order mark
  // skipped.
  void start();
  void read_first_block();
  // One read of the source into [to, to + n); 0 at the end of the input. A read error is fatal
  // ("\nFile not read"): it must never pass for the end of the input.
  std::size_t take(char* to, std::size_t n);
  // Fills the buffer when it is empty; false at the end of the input.
  bool refill();
  // Reads more behind the unread characters, keeping them (the buffer grows when they fill
  // it); false at the end of the input.
  bool read_more();

  std::unique_ptr<ByteSource> source_;
  std::unique_ptr<char[]> buf_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::int64_t line_feeds_ = 0;  // consumed so far
  LineEnds line_ends_ = LineEnds::kNone;
  bool started_ = false;
  bool eof_ = false;
};

}  // namespace selvane
