#include "input/block_reader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace selvane {

namespace {

// Size of a regular file, or 0 when it has none we can trust (pipes, devices, directories).
std::size_t regular_file_size(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || ec) return 0;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : static_cast<std::size_t>(size);
}

}  // namespace

BlockReader::BlockReader(std::FILE* file) : file_(file) {}

std::optional<BlockReader> BlockReader::open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  // We read in large blocks ourselves; the C library's buffer would only copy again.
  std::setvbuf(file, nullptr, _IONBF, 0);
  BlockReader reader(file);
  reader.size_hint_ = regular_file_size(path);
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
  // A read error (a directory opened by name, a vanished device) ends the text like the end
  // of the file does.
  end_ = std::fread(buf_.get(), 1, capacity_, file_);
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
