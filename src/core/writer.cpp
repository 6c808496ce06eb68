#include "core/writer.h"

#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstring>
#include <utility>
#include <vector>

#include "core/fatal.h"

namespace selvane {

Writer::Writer(std::FILE* file)
    : file_(file), buf_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

Writer Writer::to_stdout() {
  return Writer(stdout);
}

Writer Writer::data_to_stdout() {
  Writer writer(stdout);
  writer.data_ = true;
  return writer;
}

Writer Writer::to_stream(std::FILE* stream) {
  return Writer(stream);
}

Writer Writer::create(const std::string& path) {
  Replacement output = Replacement::open(path);
  Writer writer(output.file());
  writer.output_.emplace(std::move(output));
  return writer;
}

Writer::Writer(Writer&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      output_(std::move(other.output_)),
      data_(other.data_),
      error_(other.error_),
      buf_(std::move(other.buf_)),
      used_(std::exchange(other.used_, 0)) {
  other.output_.reset();
}

Writer::~Writer() {
  // A file not closed is incomplete: its Replacement removes the temporary file. A stream is
  // flushed, as it always was.
  if (!output_ && buf_ != nullptr) flush();
}

void Writer::failed() {
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void Writer::drain() {
  if (used_ > 0 && file_ != nullptr && !dropping() &&
      std::fwrite(buf_.get(), 1, used_, file_) != used_) {
    failed();
  }
  used_ = 0;
}

void Writer::write_past_buffer(std::string_view text) {
  if (text.size() >= kCapacity) {
    drain();
    if (file_ != nullptr && !dropping() &&
        std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
      failed();
    }
    return;
  }
  if (kCapacity - used_ < text.size()) drain();
  std::memcpy(buf_.get() + used_, text.data(), text.size());
  used_ += text.size();
}

void Writer::fill(char c, std::size_t count) {
  while (count > 0) {
    if (used_ == kCapacity) drain();
    const std::size_t step = std::min(count, kCapacity - used_);
    std::memset(buf_.get() + used_, c, step);
    used_ += step;
    count -= step;
  }
}

void Writer::printf(const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int needed = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (needed < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(needed) < sizeof small) {
    write(std::string_view(small, static_cast<std::size_t>(needed)));
  } else {
    std::vector<char> big(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(big.data(), big.size(), format, again);
    write(std::string_view(big.data(), static_cast<std::size_t>(needed)));
  }
  va_end(again);
}

void Writer::number(std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  write(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void Writer::flush() {
  drain();
  if (file_ != nullptr && std::fflush(file_) != 0) failed();
}

void Writer::divert(std::FILE* stream) {
  flush();
  if (!output_) file_ = stream;
}

void Writer::close() {
  if (buf_ == nullptr) return;  // moved from
  flush();
  if (data_ && error_ != 0) {
    fatal("\nFile not written", std::string("standard output: the selected blocks could not be "
                                            "written: ") +
                                    std::strerror(error_));
  }
  if (!output_) return;
  // Moved out first: after a fatal error nothing is left to complete or remove twice.
  Replacement output = std::move(*output_);
  output_.reset();
  file_ = nullptr;
  output.commit(error_);
}

}  // namespace selvane
