#include "core/writer.h"

#include <charconv>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "core/fatal.h"

namespace selvane {

Writer::Writer(std::FILE* file, bool owned)
    : file_(file), owned_(owned), buf_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

Writer Writer::to_stdout() {
  return Writer(stdout, false);
}

Writer Writer::to_stream(std::FILE* stream) {
  return Writer(stream, false);
}

Writer Writer::create(const std::string& path, bool report_write_errors) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) fatal("\nFile not opened");
  // Our own buffer does the batching; the C library's would only copy again.
  std::setvbuf(file, nullptr, _IONBF, 0);
  Writer writer(file, true);
  writer.report_write_errors_ = report_write_errors;
  return writer;
}

Writer::Writer(Writer&& other) noexcept
    : file_(other.file_),
      owned_(other.owned_),
      report_write_errors_(other.report_write_errors_),
      failed_(other.failed_),
      buf_(std::move(other.buf_)),
      used_(other.used_) {
  other.file_ = nullptr;
  other.owned_ = false;
  other.used_ = 0;
}

Writer::~Writer() {
  close();
}

void Writer::drain() {
  if (used_ > 0 && file_ != nullptr && std::fwrite(buf_.get(), 1, used_, file_) != used_) {
    failed_ = true;
  }
  used_ = 0;
}

void Writer::write_past_buffer(std::string_view text) {
  if (text.size() >= kCapacity) {
    drain();
    if (file_ != nullptr && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
      failed_ = true;
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
  if (file_ != nullptr && std::fflush(file_) != 0) failed_ = true;
}

void Writer::release() noexcept {
  if (buf_ == nullptr) return;
  flush();
  if (owned_ && file_ != nullptr && std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  owned_ = false;
}

void Writer::close() {
  release();
  if (report_write_errors_ && failed_) {
    report_write_errors_ = false;
    fatal("\nFile not written");
  }
}

}  // namespace selvane
