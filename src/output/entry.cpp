#include "output/entry.h"

#include <algorithm>
#include <cstring>

#include "output/alignment_formats.h"

namespace selvane {

void ResidueGrouping::put(std::string_view chars) {
  // Straight into the writer's buffer, a piece at a time: the characters of a piece and the
  // blank or line end after each tenth take at most piece + piece / 10 + 1 bytes.
  constexpr std::size_t kPiece = 60 * 1024;
  // Kept in locals: every byte written through `out` might otherwise be the counter.
  int in_line = counter_;  // characters on the current line
  while (!chars.empty()) {
    const std::size_t n = std::min(chars.size(), kPiece);
    char* const start = out_.space(n + n / 10 + 1);
    char* out = start;
    const char* from = chars.data();
    const char* const end = from + n;
    // Up to the end of the current group, character by character.
    while (in_line % 10 != 0 && from != end) {
      *out++ = *from++;
      if (++in_line % 10 == 0) *out++ = in_line == 60 ? '\n' : ' ';
      if (in_line == 60) in_line = 0;
    }
    // Whole groups.
    for (; end - from >= 10; from += 10) {
      std::memcpy(out, from, 10);
      in_line += 10;
      out[10] = in_line == 60 ? '\n' : ' ';
      out += 11;
      if (in_line == 60) in_line = 0;
    }
    // The start of a last group.
    while (from != end) {
      *out++ = *from++;
      ++in_line;
    }
    out_.commit(static_cast<std::size_t>(out - start));
    chars.remove_prefix(n);
  }
  counter_ = in_line;
}

EntryFormat::EntryFormat(OutputFormat requested, InputFormat input, SeqType type)
    : format(requested == OutputFormat::kSameAsInput ? same_format_as(input) : requested),
      seq_type(type) {}

}  // namespace selvane
