#include "output/png.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace selvane {
namespace {

constexpr std::array<std::uint32_t, 256> make_crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = make_crc_table();

void put_u32(std::string& out, std::uint32_t v) {
  for (const int shift : {24, 16, 8, 0}) out += static_cast<char>((v >> shift) & 0xFF);
}

void put_chunk(std::string& out, std::string_view type, std::string_view data) {
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t from = out.size();
  out += type;
  out += data;
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < out.size(); ++i) {
    crc = kCrcTable[(crc ^ static_cast<unsigned char>(out[i])) & 0xFF] ^ (crc >> 8);
  }
  put_u32(out, crc ^ 0xFFFFFFFFu);
}

// Bits in the order deflate packs them: from the lowest bit of each byte up.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void bits(std::uint32_t value, int count) {  // the low `count` bits, lowest first
    for (int i = 0; i < count; ++i) put((value >> i) & 1);
  }
  void code(std::uint32_t code, int length) {  // a Huffman code, highest bit first
    for (int i = length - 1; i >= 0; --i) put((code >> i) & 1);
  }
  void flush() {
    if (used_ > 0) out_ += static_cast<char>(byte_);
    byte_ = 0;
    used_ = 0;
  }

 private:
  void put(std::uint32_t bit) {
    byte_ |= static_cast<std::uint8_t>(bit << used_);
    if (++used_ == 8) flush();
  }
  std::string& out_;
  std::uint8_t byte_ = 0;
  int used_ = 0;
};

// The fixed Huffman code of a literal or length symbol (RFC 1951, 3.2.6).
void put_symbol(BitWriter& w, std::uint32_t symbol) {
  if (symbol < 144) {
    w.code(0x30 + symbol, 8);
  } else if (symbol < 256) {
    w.code(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    w.code(symbol - 256, 7);
  } else {
    w.code(0xC0 + symbol - 280, 8);
  }
}

constexpr std::uint16_t kLengthBase[] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                         15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                         67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void put_match(BitWriter& w, std::uint32_t length, std::uint32_t distance) {
  std::size_t l = std::size(kLengthBase) - 1;
  while (kLengthBase[l] > length) --l;
  put_symbol(w, 257 + static_cast<std::uint32_t>(l));
  w.bits(length - kLengthBase[l], kLengthExtra[l]);
  std::size_t d = std::size(kDistanceBase) - 1;
  while (kDistanceBase[d] > distance) --d;
  w.code(static_cast<std::uint32_t>(d), 5);
  w.bits(distance - kDistanceBase[d], kDistanceExtra[d]);
}

// A zlib stream of `data` in one block of fixed Huffman codes. The only back-references tried
// are those an image of flat areas is made of: the byte before (a run) and the byte `stride`
// before (the row above), so the cost stays linear.
std::string zlib_stream(std::string_view data, std::size_t stride) {
  std::string out = "\x78\x01";
  BitWriter w(out);
  w.bits(1, 1);  // the last block
  w.bits(1, 2);  // fixed codes
  const auto match = [&](std::size_t at, std::size_t distance) -> std::size_t {
    if (distance == 0 || distance > at || distance > 32768) return 0;
    std::size_t length = 0;
    while (length < 258 && at + length < data.size() &&
           data[at + length] == data[at + length - distance]) {
      ++length;
    }
    return length;
  };
  for (std::size_t at = 0; at < data.size();) {
    const std::size_t run = match(at, 1);
    const std::size_t above = match(at, stride);
    const std::size_t length = std::max(run, above);
    if (length >= 3) {
      put_match(w, static_cast<std::uint32_t>(length),
                static_cast<std::uint32_t>(above >= run ? stride : 1));
      at += length;
    } else {
      put_symbol(w, static_cast<unsigned char>(data[at]));
      ++at;
    }
  }
  put_symbol(w, 256);
  w.flush();
  std::uint32_t a = 1, b = 0;
  for (const char c : data) {
    a = (a + static_cast<unsigned char>(c)) % 65521;
    b = (b + a) % 65521;
  }
  put_u32(out, (b << 16) | a);
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
  put_chunk(png, "IDAT", zlib_stream(raw, w + 1));
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
