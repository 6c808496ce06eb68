#include "input/line_formats.h"

namespace selvane {

bool blank_line(std::string_view text) {
  return skip_blanks(text, 0) == text.size();
}

std::size_t skip_blanks(std::string_view text, std::size_t from) {
  while (from < text.size() && is_blank(text[from])) ++from;
  return from;
}

std::size_t word_end(std::string_view text, std::size_t from) {
  while (from < text.size() && !is_blank(text[from])) ++from;
  return from;
}

}  // namespace selvane
