#include "support/compress.h"

#include <zlib.h>

#include <stdexcept>

namespace selvane::testing {

namespace {

std::string member(std::string_view text, bool bgzf) {
  z_stream z{};
  if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  unsigned char extra[] = {'B', 'C', 2, 0, 0, 0};
  gz_header header{};
  header.extra = extra;
  header.extra_len = sizeof extra;
  if (bgzf) deflateSetHeader(&z, &header);
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate");
  if (bgzf) {
    // BSIZE, after the 10 bytes of the header, XLEN and the subfield's id and length.
    const std::size_t size = out.size() - 1;
    out[16] = static_cast<char>(size & 0xff);
    out[17] = static_cast<char>(size >> 8);
  }
  return out;
}

}  // namespace

std::string gzip(std::string_view text, std::size_t piece, bool bgzf) {
  if (piece == 0) piece = text.size() + 1;
  std::string out;
  for (std::size_t at = 0; at < text.size(); at += piece)
    out += member(text.substr(at, piece), bgzf);
  if (text.empty() || bgzf) out += member("", bgzf);
  return out;
}

}  // namespace selvane::testing
