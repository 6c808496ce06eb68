#include "output/png.h"

#include <zlib.h>

#include <string_view>

#include "core/fatal.h"

namespace selvane {
namespace {

void put_u32(std::string& out, std::uint32_t v) {
  for (const int shift : {24, 16, 8, 0}) out += static_cast<char>((v >> shift) & 0xFF);
}

const Bytef* bytes_of(std::string_view text) {
  return reinterpret_cast<const Bytef*>(text.data());
}

void put_chunk(std::string& out, std::string_view type, std::string_view data) {
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t from = out.size();
  out += type;
  out += data;
  const std::string_view checked = std::string_view(out).substr(from);
  put_u32(out, static_cast<std::uint32_t>(
                   crc32(0, bytes_of(checked), static_cast<uInt>(checked.size()))));
}

// A zlib stream of `data`: the image's flat areas and repeated rows become back-references.
std::string zlib_stream(std::string_view data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, bytes_of(data),
                static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK) {
    memory_failure("overview");  // the buffer is large enough: only memory can be lacking
  }
  out.resize(size);
  return out;
}

}  // namespace

std::string encode_png(std::int32_t width, std::int32_t height,
                       std::span<const std::uint8_t> pixels, std::span<const Rgb> palette) {
  const auto w = static_cast<std::size_t>(width);
  std::string raw;  // each row behind its filter byte, 0: none
  raw.reserve((w + 1) * static_cast<std::size_t>(height));
  for (std::int32_t y = 0; y < height; ++y) {
    raw += '\0';
    const auto* row = pixels.data() + static_cast<std::size_t>(y) * w;
    raw.append(reinterpret_cast<const char*>(row), w);
  }
  std::string header;
  put_u32(header, static_cast<std::uint32_t>(width));
  put_u32(header, static_cast<std::uint32_t>(height));
  header += std::string_view("\x08\x03\x00\x00\x00", 5);  // 8 bits, palette, no interlace
  std::string colours;
  for (const Rgb& rgb : palette) colours.append(rgb.begin(), rgb.end());

  std::string png = "\x89PNG\r\n\x1a\n";
  put_chunk(png, "IHDR", header);
  put_chunk(png, "PLTE", colours);
  put_chunk(png, "IDAT", zlib_stream(raw));
  put_chunk(png, "IEND", {});
  return png;
}

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  const auto byte = [&](std::size_t i) -> std::uint32_t {
    return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u;
  };
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t v = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
  }
  return out;
}

}  // namespace selvane
