// Captures what a piece of the program writes through a Writer, for unit tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/writer.h"

namespace selvane::testing {

class Capture {
 public:
  Capture() : stream_(open_memstream(&data_, &size_)), writer_(Writer::to_stream(stream_)) {}
  ~Capture() {
    writer_.close();
    std::fclose(stream_);
    std::free(data_);
  }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  Writer& out() { return writer_; }
  // Everything written so far.
  std::string text() {
    writer_.flush();
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
  Writer writer_;
};

}  // namespace selvane::testing
