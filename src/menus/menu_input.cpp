#include "menus/menu_input.h"

#include <algorithm>
#include <limits>

#include "core/fatal.h"

namespace selvane {

namespace {

bool is_blank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Value of c as a digit in `base`, or -1.
int digit_value(int c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return value < base ? value : -1;
}

}  // namespace

void MenuInput::end_of_input() {
  throw ExitRequest{1};
}

int MenuInput::get() {
  return std::getc(in_);
}

void MenuInput::discard_line(int last) {
  while (last != '\n' && last != EOF) last = get();
}

int MenuInput::first_nonblank() {
  out_.flush();
  int c = get();
  while (is_blank(c)) c = get();
  if (c == EOF) end_of_input();
  return c;
}

char MenuInput::choice() {
  out_.flush();
  int c = get();
  if (c == EOF) end_of_input();
  if (c == '\r') {
    // A carriage return before the line feed belongs to the line end: an empty line typed on
    // a terminal that sends both is the line break itself.
    const int next = get();
    if (next == '\n') return '\n';
    discard_line(next);
    return '\r';
  }
  discard_line(c);
  return static_cast<char>(c);
}

std::optional<std::int32_t> MenuInput::number() {
  int c = first_nonblank();
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = get();
  }
  int base = 10;
  bool any_digit = false;
  if (c == '0') {
    any_digit = true;
    c = get();
    base = 8;
    if (c == 'x' || c == 'X') {
      // "0x" without a hexadecimal digit after it is the number 0; what follows is dropped
      // with the rest of the line anyway.
      c = get();
      base = 16;
    }
  }
  // Magnitudes are capped just past the 32-bit range, so they saturate instead of overflowing.
  constexpr std::int64_t kCap = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  for (int d = digit_value(c, base); d >= 0; d = digit_value(c, base)) {
    any_digit = true;
    magnitude = std::min(magnitude * base + d, kCap);
    c = get();
  }
  discard_line(c);
  if (!any_digit) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

std::string MenuInput::word() {
  int c = first_nonblank();
  std::string text;
  bool ended_by_nul = false;
  while (c != EOF && !is_blank(c)) {
    if (c == '\0') ended_by_nul = true;
    if (!ended_by_nul) text += static_cast<char>(c);
    c = get();
  }
  discard_line(c);
  return text;
}

std::string MenuInput::line() {
  out_.flush();
  int c = get();
  if (c == EOF) end_of_input();
  std::string text;
  bool ended_by_nul = false;
  while (c != '\n' && c != EOF) {
    if (c == '\0') ended_by_nul = true;
    if (!ended_by_nul) text += static_cast<char>(c);
    c = get();
  }
  if (!ended_by_nul && !text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

}  // namespace selvane
