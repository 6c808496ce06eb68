#include "input/block_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/fatal.h"
#include "input/gzip_source.h"
#include "input/residue_run.h"

namespace selvane {

BlockReader::BlockReader(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}

std::optional<BlockReader> BlockReader::open(const std::string& path, std::string* not_regular,
                                             Opening opening) {
  std::unique_ptr<FdSource> source = FdSource::open(path, not_regular, opening);
  if (!source) return std::nullopt;
  return BlockReader(std::move(source));
}

void BlockReader::read_first_block() {
  // A small file gets a small buffer: batches open thousands of them. One byte more than the
  // file lets the first block see the end of the file at once.
  const std::size_t hint = source_->size_hint();
  capacity_ = hint > 0 ? std::min(kBlockSize, hint + 1) : kBlockSize;
  buf_ = std::make_unique_for_overwrite<char[]>(capacity_);
  begin_ = end_ = 0;
  eof_ = false;
  // The first block is read whole whatever the source hands out at a time, so that what it
  // shows (compression, line ends, byte-order mark) does not depend on how the bytes came in.
  while (end_ < capacity_ && !eof_) end_ += take(buf_.get() + end_, capacity_ - end_);
}

void BlockReader::start() {
  started_ = true;
  read_first_block();
  // Compressed data is known by its first bytes, not by its name: the bytes read so far go to
  // the decompressor, and the first block is read again from what it gives.
  if (GzipSource::sniff(std::string_view(buf_.get(), end_))) {
    source_ = std::make_unique<GzipSource>(std::move(source_), std::string_view(buf_.get(), end_));
    read_first_block();
  }
  const std::string_view first(buf_.get(), end_);
  if (const std::size_t lf = first.find('\n'); lf != std::string_view::npos) {
    line_ends_ = lf > 0 && first[lf - 1] == '\r' ? LineEnds::kCrLf : LineEnds::kLf;
  } else if (first.find('\r') != std::string_view::npos) {
    line_ends_ = LineEnds::kCr;
  }
  // Editors on some systems start a UTF-8 text with these three bytes; they are no part of a
  // header or a path.
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (first.starts_with(kMark)) begin_ = kMark.size();
}

LineEnds BlockReader::line_ends() {
  if (!started_) start();
  return line_ends_;
}

std::size_t BlockReader::take(char* to, std::size_t n) {
  if (eof_) return 0;
  const SourceRead got = source_->read(to, n);
  if (got.error != 0) {
    fatal("\nFile not read", name() + ": cannot read the file: " + source_->error_text(got.error));
  }
  if (got.bytes == 0) eof_ = true;
  return got.bytes;
}

bool BlockReader::refill() {
  if (!started_) start();
  if (begin_ < end_) return true;
  begin_ = end_ = 0;
  end_ = take(buf_.get(), capacity_);
  return end_ > 0;
}

bool BlockReader::read_more() {
  if (!started_) start();
  if (eof_) return false;
  const std::size_t unread = end_ - begin_;
  if (unread == capacity_) {
    const std::size_t grown = std::max(2 * capacity_, kBlockSize);
    auto bigger = std::make_unique_for_overwrite<char[]>(grown);
    std::memcpy(bigger.get(), buf_.get() + begin_, unread);
    buf_ = std::move(bigger);
    capacity_ = grown;
  } else if (begin_ > 0) {
    std::memmove(buf_.get(), buf_.get() + begin_, unread);
  }
  begin_ = 0;
  end_ = unread;
  const std::size_t got = take(buf_.get() + end_, capacity_ - end_);
  end_ += got;
  return got > 0;
}

std::string_view BlockReader::first_nonblank_line() {
  if (!started_) start();
  std::size_t line_start = 0;  // offsets from begin_: the buffer moves as it grows
  std::size_t searched = 0;    // no line feed before this offset, from line_start on
  for (;;) {
    const char* unread = buf_.get() + begin_;
    const std::size_t size = end_ - begin_;
    const void* found = std::memchr(unread + searched, '\n', size - searched);
    if (found == nullptr) {
      searched = size;
      if (read_more()) continue;
      return {buf_.get() + begin_ + line_start, size - line_start};  // the last line, unended
    }
    const auto lf = static_cast<std::size_t>(static_cast<const char*>(found) - unread);
    std::size_t length = lf - line_start;
    if (length > 0 && unread[lf - 1] == '\r') --length;
    if (length > 0) return {unread + line_start, length};
    line_start = searched = lf + 1;
  }
}

std::string_view BlockReader::buffered() {
  if (!refill()) return {};
  return std::string_view(buf_.get() + begin_, end_ - begin_);
}

void BlockReader::consume(std::size_t n) {
  n = std::min(n, end_ - begin_);
  consume_counted(n, count_line_feeds(buf_.get() + begin_, n));
}

void BlockReader::consume_counted(std::size_t n, std::size_t line_feeds) {
  begin_ += std::min(n, end_ - begin_);
  line_feeds_ += static_cast<std::int64_t>(line_feeds);
}

int BlockReader::peek() {
  if (!refill()) return EOF;
  return static_cast<unsigned char>(buf_[begin_]);
}

int BlockReader::get() {
  if (!refill()) return EOF;
  const char c = buf_[begin_++];
  if (c == '\n') ++line_feeds_;
  return static_cast<unsigned char>(c);
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
      consume_counted(block.size(), 0);
      continue;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(found) - block.data());
    text.append(block.substr(0, length));
    consume_counted(length + 1, 1);
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
      consume_counted(static_cast<std::size_t>(static_cast<const char*>(found) - block.data()) + 1,
                      1);
      return;
    }
    consume_counted(block.size(), 0);
  }
}

}  // namespace selvane
