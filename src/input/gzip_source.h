// gzip-compressed input, decompressed as it is read: one member, several (what `cat a.gz b.gz`
// makes) or the blocks of bgzip, which are members too. The block reader puts it over any
// source whose first bytes are gzip's, whatever the file is called.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "input/byte_source.h"

namespace selvane {

class GzipSource final : public ByteSource {
 public:
  // Whether `start`, the first bytes of an input, begin gzip data (its two magic bytes).
  static bool sniff(std::string_view start);

  // The data `compressed` holds, whose first bytes `start` were already read from it.
  GzipSource(std::unique_ptr<ByteSource> compressed, std::string_view start);
  GzipSource(const GzipSource&) = delete;
  GzipSource& operator=(const GzipSource&) = delete;
  ~GzipSource() override;

  // Damaged or cut-short data is a failed read (EBADMSG, worded by error_text), never an end:
  // the reader must not take what came before for the whole input.
  SourceRead read(char* to, std::size_t n) override;
  // The size the last member's trailer records, when the compressed data is a regular file and
  // that size is at least the file's (as for one member); 0 otherwise.
  std::size_t size_hint() const override { return size_hint_; }
  std::string error_text(int error) const override;
  bool read_once() const override { return compressed_->read_once(); }

 private:
  SourceRead damaged(std::string why);

  std::unique_ptr<ByteSource> compressed_;
  std::unique_ptr<unsigned char[]> in_;  // compressed bytes read, not yet decompressed
  std::size_t in_capacity_ = 0;
  z_stream z_{};
  std::size_t size_hint_ = 0;
  bool compressed_end_ = false;   // every compressed byte has been read
  bool between_members_ = false;  // a member ended; another may follow
  int members_ = 0;               // members that ended
  std::string damage_;            // why the data cannot be read, once it is known
};

}  // namespace selvane
