// What the readers of the formats laid out in lines share (PHYLIP, Clustal, Stockholm, NEXUS):
// numbered lines, blanks and words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/block_reader.h"

namespace selvane {

// A line of the input without its line end, and its number from 1.
struct Line {
  std::string text;
  std::int64_t number = 0;
};

// Reads the next line of `in` into `line`; false at the end of the input.
inline bool next_line(BlockReader& in, Line& line) {
  line.number = in.line();
  return in.read_line(line.text);
}

// Blanks and tabs separate names, words and residues in these formats.
inline bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// Whether `text` holds nothing but blanks.
bool blank_line(std::string_view text);

// The first position at or after `from` that is not a blank (text.size() when none is left).
std::size_t skip_blanks(std::string_view text, std::size_t from);

// The first blank at or after `from` (text.size() when none is left).
std::size_t word_end(std::string_view text, std::size_t from);

}  // namespace selvane
