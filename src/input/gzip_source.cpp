#include "input/gzip_source.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace selvane {

namespace {

// Compressed bytes read at once.
constexpr std::size_t kCompressedBlock = std::size_t{128} << 10;

// A gzip stream, not a bare zlib one: 16 added to the window bits.
constexpr int kGzipWindowBits = 15 + 16;

}  // namespace

bool GzipSource::sniff(std::string_view start) {
  return start.size() >= 2 && static_cast<unsigned char>(start[0]) == 0x1f &&
         static_cast<unsigned char>(start[1]) == 0x8b;
}

GzipSource::GzipSource(std::unique_ptr<ByteSource> compressed, std::string_view start)
    : ByteSource(compressed->name()),
      compressed_(std::move(compressed)),
      in_capacity_(std::max(kCompressedBlock, start.size())) {
  in_ = std::make_unique_for_overwrite<unsigned char[]>(in_capacity_);
  std::memcpy(in_.get(), start.data(), start.size());
  if (inflateInit2(&z_, kGzipWindowBits) != Z_OK) throw std::bad_alloc();
  z_.next_in = in_.get();
  z_.avail_in = static_cast<uInt>(start.size());
  // The trailer of the last member ends the file: the size of that member's data, modulo 2^32.
  // For one member it is the whole size, and at least the compressed size; a smaller one belongs
  // to the last of several members (bgzip ends with an empty one) and tells nothing.
  unsigned char trailer[4];
  if (compressed_->tail(reinterpret_cast<char*>(trailer), sizeof trailer)) {
    const std::uint32_t recorded = std::uint32_t{trailer[0]} | std::uint32_t{trailer[1]} << 8 |
                                   std::uint32_t{trailer[2]} << 16 |
                                   std::uint32_t{trailer[3]} << 24;
    if (recorded >= compressed_->size_hint()) size_hint_ = recorded;
  }
}

GzipSource::~GzipSource() {
  inflateEnd(&z_);
}

SourceRead GzipSource::damaged(std::string why) {
  damage_ = std::move(why);
  return {0, EBADMSG};
}

std::string GzipSource::error_text(int error) const {
  if (error == EBADMSG && !damage_.empty()) return damage_;
  return compressed_->error_text(error);
}

SourceRead GzipSource::read(char* to, std::size_t n) {
  if (!damage_.empty()) return {0, EBADMSG};
  const auto wanted = static_cast<uInt>(std::min<std::size_t>(n, UINT_MAX));
  if (wanted == 0) return {0, 0};
  z_.next_out = reinterpret_cast<Bytef*>(to);
  z_.avail_out = wanted;
  while (z_.avail_out == wanted) {
    if (z_.avail_in == 0 && !compressed_end_) {
      const SourceRead got = compressed_->read(reinterpret_cast<char*>(in_.get()), in_capacity_);
      if (got.error != 0) return {0, got.error};
      compressed_end_ = got.bytes == 0;
      z_.next_in = in_.get();
      z_.avail_in = static_cast<uInt>(got.bytes);
    }
    if (between_members_) {
      if (z_.avail_in == 0) {
        if (compressed_end_) break;  // the end, after a whole member
        continue;
      }
      // Whatever follows a member must be another: anything else is damage, not padding to
      // skip.
      inflateReset(&z_);
      between_members_ = false;
      ++members_;
    }
    const int status = inflate(&z_, Z_NO_FLUSH);
    if (status == Z_STREAM_END) {
      between_members_ = true;
    } else if (status == Z_BUF_ERROR || (status == Z_OK && z_.avail_in == 0)) {
      // More compressed bytes are needed, and there are none left.
      if (compressed_end_ && z_.avail_in == 0 && z_.avail_out == wanted) {
        return damaged("its gzip data is cut short (the file is truncated)");
      }
    } else if (status == Z_MEM_ERROR) {
      throw std::bad_alloc();
    } else if (status != Z_OK) {
      const std::string what = z_.msg != nullptr ? z_.msg : "not deflate data";
      if (members_ > 0 && z_.total_out == 0) {
        return damaged("what follows its gzip data is not gzip data (" + what + ")");
      }
      return damaged("its gzip data is damaged (" + what + ")");
    }
  }
  return {wanted - z_.avail_out, 0};
}

}  // namespace selvane
