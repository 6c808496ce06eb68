#include "output/svg_format.h"

#include <charconv>
#include <cmath>

namespace selvane::svg {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence that starts text[i] and is allowed in XML 1.0;
// 0 when there is none.
std::size_t valid_sequence(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return (lead >= 0x20 && lead != 0x7F) ? 1 : 0;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  // U+FFFE and U+FFFF are not XML characters.
  if (length == 3 && lead == 0xEF && byte(i + 1) == 0xBF && byte(i + 2) >= 0xBE) return 0;
  return length;
}

}  // namespace

void put_text(std::string& out, std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    switch (c) {
      case '&':
        out += "&amp;";
        ++i;
        continue;
      case '<':
        out += "&lt;";
        ++i;
        continue;
      case '>':
        out += "&gt;";
        ++i;
        continue;
      case '"':
        out += "&quot;";
        ++i;
        continue;
      case '\'':
        out += "&#39;";
        ++i;
        continue;
      default:
        break;
    }
    const std::size_t length = valid_sequence(text, i);
    if (length == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(text.data() + i, length);
      i += length;
    }
  }
}

void put_int(std::string& out, std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void put_grouped(std::string& out, std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  const std::string_view digits(buffer, static_cast<std::size_t>(result.ptr - buffer));
  std::size_t start = 0;
  if (!digits.empty() && digits[0] == '-') {
    out += '-';
    start = 1;
  }
  const std::size_t count = digits.size() - start;
  for (std::size_t k = 0; k < count; ++k) {
    if (k > 0 && (count - k) % 3 == 0) out += ',';
    out += digits[start + k];
  }
}

void put_number(std::string& out, double value, int decimals) {
  static constexpr std::int64_t kScale[] = {1, 10, 100, 1000};
  const std::int64_t scale = kScale[decimals < 0 ? 0 : (decimals > 3 ? 3 : decimals)];
  std::int64_t scaled = std::llround(value * static_cast<double>(scale));
  if (scaled < 0) {
    out += '-';
    scaled = -scaled;
  }
  put_int(out, scaled / scale);
  std::int64_t fraction = scaled % scale;
  if (fraction == 0) return;
  out += '.';
  for (std::int64_t unit = scale / 10; unit > 0 && fraction > 0; unit /= 10) {
    out += static_cast<char>('0' + fraction / unit);
    fraction %= unit;
  }
}

// Rough width of a text in pixels, enough to decide whether a label fits.
double text_width(std::string_view text, double font_size) {
  std::size_t chars = 0;
  for (const char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return static_cast<double>(chars) * font_size * 0.58;
}

void open_text(std::string& out, double x, double y, std::string_view attributes) {
  out += "<text x=\"";
  put_number(out, x);
  out += "\" y=\"";
  put_number(out, y);
  out += '"';
  if (!attributes.empty()) {
    out += ' ';
    out += attributes;
  }
  out += '>';
}

// "before first–last after", the text of a hover title.
void put_title(std::string& out, std::string_view before, std::int64_t first, std::int64_t last,
               std::string_view after) {
  out += before;
  put_range(out, first, last);
  out += after;
}

void put_count(std::string& out, std::int64_t n, std::string_view one, std::string_view many) {
  put_grouped(out, n);
  out += n == 1 ? one : many;
}

void put_range(std::string& out, std::int64_t first, std::int64_t last) {
  put_grouped(out, first);
  if (last != first) {
    out += "\xE2\x80\x93";  // en dash
    put_grouped(out, last);
  }
}

void put_rect(std::string& out, double x, double y, double width, double height) {
  out += "<rect x=\"";
  put_number(out, x);
  out += "\" y=\"";
  put_number(out, y);
  out += "\" width=\"";
  put_number(out, width);
  out += "\" height=\"";
  put_number(out, height);
  out += '"';
}

}  // namespace selvane::svg
