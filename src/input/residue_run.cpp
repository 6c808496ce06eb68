#include "input/residue_run.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#if defined(__GNUC__)
#include <tmmintrin.h>
#endif
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

#if defined(__SSE2__)
namespace {

// All bits set in the last `count` bytes of the sixteen (count 1 to 15).
inline __m128i last_lanes(std::size_t count) {
  static constexpr unsigned char kLanes[32] = {0,    0,    0,    0,    0,    0,    0,    0,
                                               0,    0,    0,    0,    0,    0,    0,    0,
                                               0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                               0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLanes + count));
}

// Copies the residues of the sixteen bytes at `from` to `to` (which then advances), the bytes
// from `count` on taken for blanks: every run of characters that are no blanks is stored with
// one load and one store of sixteen bytes, so the bytes after the run are read and written too
// (`from` must be readable, and `to` writable, sixteen bytes past the run). The run boundaries
// come from the blank mask alone: the steps of a run do not wait on each other's loads.
inline void copy_chunk(const char* from, unsigned count, char*& to) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  auto blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
      _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')))));
  blanks |= 0xffffU & ~((1U << count) - 1);
  const __m128i dot = _mm_set1_epi8('.');
  // '-' is '.' - 1, and a comparison yields -1 where it holds.
  const auto store = [&](const __m128i& run) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_add_epi8(run, _mm_cmpeq_epi8(run, dot)));
  };
  if (blanks == 0) {
    store(bytes);
    to += 16;
    return;
  }
  unsigned keep = ~blanks & 0xffffU;
  while (keep != 0) {
    const auto start = static_cast<unsigned>(std::countr_zero(keep));
    const auto end = static_cast<unsigned>(std::countr_zero((blanks | 0x10000U) >> start)) + start;
    store(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + start)));
    to += end - start;
    keep &= ~((1U << end) - 1);
  }
}

}  // namespace
#endif

#if defined(__SSE2__) && defined(__GNUC__)
namespace {

// For the eight bits of `keep`: the places of its set bits, first to last, to gather the bytes
// kept to the front of eight; and how many there are.
struct Gather {
  std::array<std::array<std::uint8_t, 8>, 256> order{};
  std::array<std::uint8_t, 256> count{};
};

constexpr Gather make_gather() {
  Gather gather;
  for (unsigned keep = 0; keep < 256; ++keep) {
    std::uint8_t n = 0;
    for (std::uint8_t bit = 0; bit < 8; ++bit) {
      if ((keep >> bit & 1U) != 0) gather.order[keep][n++] = bit;
    }
    gather.count[keep] = n;
  }
  return gather;
}

constexpr Gather kGather = make_gather();

// copy_line_residues() where the processor can shuffle bytes (SSSE3, nearly every x86-64 now
// in use): sixteen bytes a step whatever the blanks among them, with no branch on them; a line
// of residues in groups of ten costs as little as one without.
__attribute__((target("ssse3"))) std::size_t copy_shuffled(std::string_view text, char* to) {
  const char* from = text.data();
  const std::size_t n = text.size();
  char* const first = to;
  const __m128i dot = _mm_set1_epi8('.');
  const __m128i high_half = _mm_set_epi8(8, 8, 8, 8, 8, 8, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0);
  for (std::size_t i = 0; i < n; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    auto blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')))));
    if (n - i < 16) blanks |= 0xffffU & ~((1U << (n - i)) - 1);
    if (blanks == 0) {
      // Sixteen residues, the most common case after a name's padding: stored as they stand.
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to),
                       _mm_add_epi8(bytes, _mm_cmpeq_epi8(bytes, dot)));
      to += 16;
      continue;
    }
    const unsigned keep = ~blanks & 0xffffU;
    const unsigned low = keep & 0xffU;
    const unsigned high = keep >> 8;
    const __m128i order = _mm_add_epi8(
        _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kGather.order[low].data())),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kGather.order[high].data()))),
        high_half);
    // '-' is '.' - 1, and a comparison yields -1 where it holds.
    const __m128i gathered =
        _mm_shuffle_epi8(_mm_add_epi8(bytes, _mm_cmpeq_epi8(bytes, dot)), order);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to), gathered);
    to += kGather.count[low];
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_srli_si128(gathered, 8));
    to += kGather.count[high];
  }
  return static_cast<std::size_t>(to - first);
}

const bool kShuffles = __builtin_cpu_supports("ssse3");

}  // namespace
#endif

std::size_t copy_line_residues(std::string_view text, char* to) {
#if defined(__SSE2__) && defined(__GNUC__)
  if (kShuffles) return copy_shuffled(text, to);
#endif
  const char* from = text.data();
  const std::size_t n = text.size();
  char* const first = to;
#if defined(__SSE2__)
  for (std::size_t i = 0; i < n; i += 16) {
    copy_chunk(from + i, static_cast<unsigned>(std::min<std::size_t>(n - i, 16)), to);
  }
#else
  for (std::size_t i = 0; i < n; ++i) {
    const char c = from[i];
    if (c != ' ' && c != '\t') *to++ = c == '.' ? '-' : c;
  }
#endif
  return static_cast<std::size_t>(to - first);
}

std::size_t count_line_residues(std::string_view text) {
  std::size_t blanks = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  const char* from = text.data();
  const std::size_t n = text.size();
  if (n >= 16) {
    // Each byte of `counts` counts the blanks at its place (a comparison yields -1 where it
    // holds), summed at the end; the last bytes are read with the sixteen before them, those
    // counted already masked out. Lines are short: no byte counts past 255.
    const auto blank_at = [](const char* at) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      return _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                          _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')));
    };
    const auto add = [&](__m128i& counts) {
      const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
      blanks += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
      counts = _mm_setzero_si128();
    };
    __m128i counts = _mm_setzero_si128();
    for (std::size_t rounds = 0; i + 16 <= n; i += 16) {
      counts = _mm_sub_epi8(counts, blank_at(from + i));
      if (++rounds == 255) {
        add(counts);
        rounds = 0;
      }
    }
    if (i < n) {
      add(counts);
      counts = _mm_sub_epi8(counts, _mm_and_si128(blank_at(from + n - 16), last_lanes(n - i)));
      i = n;
    }
    add(counts);
  }
#endif
  for (; i < text.size(); ++i) blanks += text[i] == ' ' || text[i] == '\t' ? 1 : 0;
  return text.size() - blanks;
}

std::size_t first_of_any(std::string_view text, const char (&set)[5]) {
  std::size_t i = 0;
  const std::size_t n = text.size();
#if defined(__SSE2__)
  const auto any_at = [&](std::size_t at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(set[0])),
                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8(set[1]))),
                     _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(set[2])),
                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8(set[3]))))));
  };
  for (; i + 16 <= n; i += 16) {
    if (const unsigned found = any_at(i); found != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(found));
    }
  }
  if (n >= 16 && i < n) {
    // The last bytes with the sixteen before them: the ones seen already hold none.
    const unsigned found = any_at(n - 16);
    return found == 0 ? n : n - 16 + static_cast<std::size_t>(std::countr_zero(found));
  }
#endif
  for (; i < n; ++i) {
    const char x = text[i];
    if (x == set[0] || x == set[1] || x == set[2] || x == set[3]) return i;
  }
  return n;
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
