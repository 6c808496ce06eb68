#include "input/residue_run.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace selvane {

std::size_t copy_residue_run(const char* from, std::size_t n, char stop, char* to) {
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: copied whole, then the first byte that ends the run is looked for
  // among them. Blanks, line feeds and carriage returns are found among the bytes up to ' ',
  // in one comparison; the rare other control characters found with them are residues, and
  // the search goes on past them.
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i end = _mm_set1_epi8(stop);
  const __m128i dot = _mm_set1_epi8('.');
  for (; i + 16 <= n; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    // '-' is '.' - 1, and a comparison yields -1 where it holds.
    const __m128i stored = _mm_add_epi8(bytes, _mm_cmpeq_epi8(bytes, dot));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), stored);
    const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(bytes, blank), bytes);
    const __m128i ends = _mm_or_si128(low, _mm_cmpeq_epi8(bytes, end));
    for (auto found = static_cast<unsigned>(_mm_movemask_epi8(ends)); found != 0;
         found &= found - 1) {
      const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(found));
      const char c = from[at];
      if (c == ' ' || c == '\n' || c == '\r' || c == stop) return at;
    }
  }
#endif
  // The portable form, and the last bytes of the vector one.
  for (; i < n; ++i) {
    const char c = from[i];
    if (c == ' ' || c == '\n' || c == '\r' || c == stop) break;
    to[i] = c == '.' ? '-' : c;
  }
  return i;
}

}  // namespace selvane
