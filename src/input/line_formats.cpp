#include "input/line_formats.h"

#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace selvane {

bool LineReader::next_block(Line& line) {
  if (at_ == block_.size()) {
    settle();
    block_ = in_.buffered();
    ++blocks_;
    if (block_.empty()) return false;
  }
  const std::string_view rest = block_.substr(at_);
  const std::size_t end = rest.find('\n');
  if (end != std::string_view::npos && end + kLineCopySlack <= rest.size()) return next(line);
  // A line that ends near the end of the block, or runs past it: copied, and read whole.
  if (end != std::string_view::npos) {
    spilled_.assign(rest.substr(0, end));
    if (!spilled_.empty() && spilled_.back() == '\r') spilled_.pop_back();
    at_ += end + 1;
    ++lines_;
  } else {
    settle();
    block_ = {};
    in_.read_line(spilled_);
  }
  ++number_;
  const std::size_t length = spilled_.size();
  spilled_.append(kLineCopySlack, ' ');
  line.text = std::string_view(spilled_).substr(0, length);
  return true;
}

bool first_nonblank(LineReader& lines, Line& line) {
  bool more = lines.next(line);
  while (more && blank_line(line.text)) more = lines.next(line);
  return more;
}

ReadProblem bad_header(std::int64_t at, std::string text, std::string_view expected) {
  ReadProblem problem(ReadProblemKind::kBadHeader, at, 0, std::move(text));
  problem.expected_text = expected;
  return problem;
}

ReadProblem bad_header(const Line& line, bool found, std::string_view expected) {
  return bad_header(line.number, found ? std::string(line.text) : std::string(), expected);
}

ReadProblem unended(std::int64_t at, std::string_view what) {
  ReadProblem problem(ReadProblemKind::kUnended, at);
  problem.expected_text = what;
  return problem;
}

void LineReader::settle() {
  in_.consume_counted(at_, lines_);
  at_ = 0;
  lines_ = 0;
}

std::size_t find_blank(std::string_view text, std::size_t from, bool blank) {
#if defined(__SSE2__)
  // Sixteen bytes a step: the padding before names and residues can be long, and so can names.
  const unsigned wanted = blank ? 0U : 0xffffU;
  for (; from + 16 <= text.size(); from += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + from));
    const auto blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')))));
    if (blanks != wanted) {
      return from + static_cast<std::size_t>(std::countr_zero((blanks ^ wanted) & 0xffffU));
    }
  }
#endif
  while (from < text.size() && is_blank(text[from]) != blank) ++from;
  return from;
}

std::size_t word_end(std::string_view text, std::size_t from) {
  return find_blank(text, from, true);
}

}  // namespace selvane
