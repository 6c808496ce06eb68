#include "core/diagnostics.h"

#include <cstdio>
#include <string>

namespace selvane {

namespace {

bool continuation(unsigned char c) {
  return (c & 0xc0) == 0x80;
}

// The length of the printable UTF-8 character that starts `text` (at least one byte), or 0 when
// it starts with a control character or a byte that begins no valid UTF-8 character.
std::size_t printable_length(std::string_view text) {
  const auto c = static_cast<unsigned char>(text[0]);
  if (c < 0x20 || c == 0x7f) return 0;
  if (c < 0x80) return 1;
  // The range allowed for the second byte, by the first: no overlong form, no surrogate, nothing
  // past U+10FFFF, and no C1 control (U+0080 to U+009F, which some terminals obey).
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xbf;
  if (c == 0xc2) {
    length = 2;
    low = 0xa0;
  } else if (c >= 0xc3 && c <= 0xdf) {
    length = 2;
  } else if (c >= 0xe0 && c <= 0xef) {
    length = 3;
    if (c == 0xe0) low = 0xa0;
    if (c == 0xed) high = 0x9f;
  } else if (c >= 0xf0 && c <= 0xf4) {
    length = 4;
    if (c == 0xf0) low = 0x90;
    if (c == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  const auto second = static_cast<unsigned char>(text[1]);
  if (second < low || second > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!continuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  return length;
}

}  // namespace

void diagnose(Writer& out, std::string_view text) {
  out.flush();
  std::string line("selvane: ");
  line += shown_on_one_line(text);
  line += '\n';
  // One call, so that a line is never split by another process writing the same stream.
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

std::string shown_on_one_line(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    std::size_t length = printable_length(text);
    if (length > 0) {
      shown.append(text.substr(0, length));
    } else {
      length = 1;
      const auto c = static_cast<unsigned char>(text[0]);
      if (c == '\t') {
        shown += "\\t";
      } else if (c == '\n') {
        shown += "\\n";
      } else if (c == '\r') {
        shown += "\\r";
      } else {
        const char digits[] = "0123456789abcdef";
        shown += "\\x";
        shown += digits[c >> 4];
        shown += digits[c & 0xf];
      }
    }
    text.remove_prefix(length);
  }
  return shown;
}

std::string in_quotes(std::string_view text) {
  std::string quoted("\"");
  quoted += text;
  quoted += '"';
  return quoted;
}

}  // namespace selvane
