#include "input/residue_run.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace selvane {

CopiedResidues copy_residues(const char* from, std::size_t n, char stop, char* to) {
  std::size_t i = 0;  // bytes read
  std::size_t k = 0;  // residues stored
  std::size_t line_feeds = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: stored whole, then the first byte that is not simply a residue is
  // looked for among them. Blanks and line ends are found among the bytes up to ' ', in one
  // comparison; the rare other control characters found with them are residues.
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i end = _mm_set1_epi8(stop);
  const __m128i dot = _mm_set1_epi8('.');
  while (i + 16 <= n) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    // '-' is '.' - 1, and a comparison yields -1 where it holds.
    const __m128i stored = _mm_add_epi8(bytes, _mm_cmpeq_epi8(bytes, dot));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + k), stored);
    const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(bytes, blank), bytes);
    const auto found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(low, _mm_cmpeq_epi8(bytes, end))));
    if (found == 0) {
      i += 16;
      k += 16;
      continue;
    }
    // The bytes before `at` are residues, stored; the one at `at` is stored too, and kept only
    // when it is a residue. The next sixteen start right after it.
    const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(found));
    const char c = from[at];
    if (c == stop || (c == '\r' && at + 1 == n)) return {at, k + (at - i), line_feeds};
    line_feeds += c == '\n' ? 1 : 0;
    const bool left_out = c == ' ' || c == '\n' || (c == '\r' && from[at + 1] == '\n');
    k += at - i + (left_out ? 0 : 1);
    i = at + 1;
  }
#endif
  // The portable form, and the last bytes of the vector one.
  for (; i < n; ++i) {
    const char c = from[i];
    if (c == ' ') continue;
    if (c == '\n') {
      ++line_feeds;
      continue;
    }
    if (c == stop) break;
    if (c == '\r') {
      if (i + 1 == n) break;
      if (from[i + 1] == '\n') continue;
    }
    to[k++] = c == '.' ? '-' : c;
  }
  return {i, k, line_feeds};
}

std::size_t copy_line_residues(std::string_view text, char* to) {
  std::size_t stored = 0;
  while (!text.empty()) {
    // A tab stops the copy like the stop character, and is then skipped.
    const CopiedResidues copied = copy_residues(text.data(), text.size(), '\t', to + stored);
    stored += copied.stored;
    if (copied.read == text.size()) break;
    // The text holds no line feed: a carriage return that ends it is a residue like any other.
    if (text[copied.read] == '\r') to[stored++] = '\r';
    text.remove_prefix(copied.read + 1);
  }
  return stored;
}

std::size_t count_line_residues(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) count += c != ' ' && c != '\t' ? 1 : 0;
  return count;
}

std::size_t count_line_feeds(const char* text, std::size_t n) {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // A comparison yields -1 where it holds: each byte of `counts` counts its own line feeds, up
  // to 255 rounds, and is then summed.
  const __m128i line_feed = _mm_set1_epi8('\n');
  while (n - i >= 16) {
    const std::size_t rounds = std::min<std::size_t>((n - i) / 16, 255);
    __m128i counts = _mm_setzero_si128();
    for (std::size_t r = 0; r < rounds; ++r, i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
      counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, line_feed));
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  for (; i < n; ++i) count += text[i] == '\n' ? 1 : 0;
  return count;
}

}  // namespace selvane
