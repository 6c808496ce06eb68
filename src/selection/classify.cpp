// Conservation values: residue counts per position, the gap policy, the most frequent residue
// and the similarity re-score of protein positions.
#include "selection/classify.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "core/bulk_memory.h"
#include "core/fatal.h"

namespace selvane {
namespace {

// Counting uses one slot more than the table: characters outside it land in the sink and are
// dropped when the counts are copied out, so the inner loop has no branch.
constexpr int kSink = kNumLetters;
constexpr int kSlots = kNumLetters + 1;

// Character -> letter index, case folded the way the C locale's toupper does (a-z only).
constexpr std::array<std::uint8_t, 256> make_letter_index() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const int upper = (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
    table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(kSink);
    for (int a = 0; a < kNumLetters; ++a) {
      if (kLetters[a] == upper) table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(a);
    }
  }
  return table;
}
constexpr std::array<std::uint8_t, 256> kLetterIndex = make_letter_index();

// Similarity weights, indexed by letter index 1..20 (row: the position's most frequent residue,
// column: the residue whose count is weighted). The diagonal is 1, every entry not listed below
// is 0, and the matrix is not symmetric. Index 0 (U) has neither row nor column in use.
struct Weight {
  char row;
  char col;
  float weight;
};
// clang-format off
constexpr Weight kOffDiagonal[] = {
    {'A', 'T', 0.0339f}, {'A', 'S', 0.2712f},
    {'T', 'A', 0.0313f}, {'T', 'S', 0.4063f},
    {'D', 'E', 0.4268f}, {'D', 'N', 0.3171f}, {'D', 'Q', 0.0122f},
    {'E', 'D', 0.4861f}, {'E', 'K', 0.1528f}, {'E', 'Q', 0.3472f},
    {'F', 'L', 0.1471f}, {'F', 'M', 0.1078f}, {'F', 'W', 0.2647f}, {'F', 'Y', 0.5392f},
    {'H', 'N', 0.1273f}, {'H', 'Q', 0.1545f}, {'H', 'Y', 0.2364f},
    {'I', 'L', 0.3889f}, {'I', 'M', 0.4028f}, {'I', 'V', 0.5833f},
    {'K', 'E', 0.1594f}, {'K', 'N', 0.0725f}, {'K', 'Q', 0.2899f}, {'K', 'R', 0.5217f},
    {'L', 'F', 0.2273f}, {'L', 'I', 0.4242f}, {'L', 'M', 0.5152f}, {'L', 'V', 0.1970f},
    {'M', 'F', 0.1158f}, {'M', 'I', 0.3053f}, {'M', 'L', 0.3579f}, {'M', 'V', 0.1053f},
    {'N', 'D', 0.3250f}, {'N', 'H', 0.1750f}, {'N', 'K', 0.0625f}, {'N', 'Q', 0.0125f},
    {'N', 'S', 0.1250f},
    {'Q', 'D', 0.0135f}, {'Q', 'E', 0.3378f}, {'Q', 'H', 0.2297f}, {'Q', 'K', 0.2703f},
    {'Q', 'N', 0.0135f}, {'Q', 'R', 0.2162f},
    {'R', 'K', 0.4337f}, {'R', 'Q', 0.1928f},
    {'S', 'A', 0.2667f}, {'S', 'T', 0.4333f}, {'S', 'N', 0.1667f},
    {'V', 'I', 0.6462f}, {'V', 'L', 0.2000f}, {'V', 'M', 0.1538f},
    {'W', 'F', 0.1627f}, {'W', 'Y', 0.1988f},
    {'Y', 'F', 0.4955f}, {'Y', 'H', 0.2342f}, {'Y', 'W', 0.2973f},
};
// clang-format on

using Matrix = std::array<std::array<float, 21>, 21>;

constexpr Matrix make_similarity() {
  Matrix m{};
  for (std::size_t a = 1; a <= 20; ++a) m[a][a] = 1.0f;
  for (const Weight& w : kOffDiagonal) {
    m[kLetterIndex[static_cast<unsigned char>(w.row)]]
     [kLetterIndex[static_cast<unsigned char>(w.col)]] = w.weight;
  }
  return m;
}
constexpr Matrix kSimilarity = make_similarity();

// Positions counted together, and rows counted in bytes before the byte counts are added to
// the totals. The byte counts of a tile (23 x 1024 bytes) stay in the first level of the cache
// while every row passes over them. An alignment of up to kWholeRows positions is counted as
// one tile: its rows then lie end to end, and the memory streams them in as one piece, which
// outweighs counts that no longer fit the first level.
constexpr std::int32_t kTile = 1024;
constexpr std::int32_t kWholeRows = 4096;
constexpr std::int32_t kRun = 255;
// How far ahead, in rows, the next stretches are asked for.
constexpr std::int32_t kRowsAhead = 4;

// Sets totals[i * kSlots + letter] to the number of rows of `aln` that hold `letter` at
// position p0 + i, for i = 0 .. width - 1. `run_counts` has room for width * kSlots bytes.
void count_tile(const Alignment& aln, std::int32_t p0, std::int32_t width, std::uint8_t* run_counts,
                std::int32_t* totals) {
  const std::size_t cells = static_cast<std::size_t>(width) * kSlots;
  if (aln.numseq < 1) std::fill_n(totals, cells, 0);  // no run sets them
  for (std::int32_t first = 1; first <= aln.numseq; first += kRun) {
    const std::int32_t last = std::min(aln.numseq, first + kRun - 1);
    std::fill_n(run_counts, cells, std::uint8_t{0});
    for (std::int32_t s = first; s <= last; ++s) {
      if (s + kRowsAhead <= aln.numseq) prefetch(aln.let.row(s + kRowsAhead) + p0);
      const unsigned char* row = reinterpret_cast<const unsigned char*>(aln.let.row(s)) + p0;
      std::uint8_t* slot = run_counts;
      std::int32_t i = 0;
      // Four positions a step: their counts are independent, so the steps overlap.
      for (; i + 4 <= width; i += 4, row += 4, slot += 4 * kSlots) {
        ++slot[kLetterIndex[row[0]]];
        ++slot[kSlots + kLetterIndex[row[1]]];
        ++slot[2 * kSlots + kLetterIndex[row[2]]];
        ++slot[3 * kSlots + kLetterIndex[row[3]]];
      }
      for (; i < width; ++i, ++row, slot += kSlots) ++slot[kLetterIndex[*row]];
    }
    if (first == 1) {
      std::copy_n(run_counts, cells, totals);
    } else {
      for (std::size_t k = 0; k < cells; ++k) totals[k] += run_counts[k];
    }
  }
}

}  // namespace

std::int32_t gap_limit(GapPolicy tog_gaps, std::int32_t initnegval, std::int32_t numseq) {
  switch (tog_gaps) {
    case GapPolicy::kAll:
      return numseq;
    case GapPolicy::kWithHalf:
      return initnegval - 1;
    case GapPolicy::kNone:
      break;
  }
  return 0;
}

Classification assignval(const Alignment& aln, const BlockParams& params, bool score_excluded) {
  const std::int32_t nupo = aln.nupo;
  const std::size_t entries = static_cast<std::size_t>(nupo) + 1;
  Classification cls;
  allocating("val", [&] { cls.val.assign(entries, 0.0f); });
  allocating("val_aa", [&] { cls.val_aa.assign(entries, '?'); });
  if (score_excluded) allocating("val", [&] { cls.excluded_val.assign(entries, 0.0f); });
  const std::int32_t tile_width = nupo <= kWholeRows ? nupo : kTile;
  // Both are written before they are read: no need to zero them first.
  std::vector<std::uint8_t, BulkAllocator<std::uint8_t>> run_counts;
  std::vector<std::int32_t, BulkAllocator<std::int32_t>> tile;
  allocating("bb", [&] {
    const auto cells = static_cast<std::size_t>(tile_width) * kSlots;
    run_counts.resize(cells);
    tile.resize(cells);
  });

  // DNA and codon alignments choose among U A C G T, proteins among the 20 amino acids.
  const bool nucleotides = params.seq_type == SeqType::kDna || params.seq_type == SeqType::kCodons;
  const int first_candidate = nucleotides ? 0 : 1;
  const int last_candidate = nucleotides ? 4 : 20;
  const bool rescore = params.seq_type == SeqType::kProtein && params.tog_sim;
  const float threshold = static_cast<float>(params.initnegval);
  const std::int32_t max_gaps = gap_limit(params.tog_gaps, params.initnegval, aln.numseq);

  for (std::int32_t p0 = 1; p0 <= nupo; p0 += tile_width) {
    const std::int32_t width = std::min(tile_width, nupo - p0 + 1);
    count_tile(aln, p0, width, run_counts.data(), tile.data());
    for (std::int32_t i = 0; i < width; ++i) {
      const std::int32_t* counts = tile.data() + static_cast<std::size_t>(i) * kSlots;
      const bool excluded = counts[kGapIndex] > max_gaps;
      if (excluded && !score_excluded) continue;
      const auto p = static_cast<std::size_t>(p0 + i);
      float val = 0.0f;
      int letter = -1;
      // Strictly greater: a tie keeps the letter that comes first in the table.
      for (int a = first_candidate; a <= last_candidate; ++a) {
        const float count = static_cast<float>(counts[a]);
        if (count > val) {
          val = count;
          letter = a;
        }
      }
      if (letter < 0) continue;
      // Only positions that reach half the sequences plus one are re-scored.
      if (rescore && val >= threshold) val = assingval_similarity(counts, letter);
      if (excluded) {
        cls.excluded_val[p] = val;
        continue;
      }
      cls.val[p] = val;
      cls.val_aa[p] = kLetters[letter];
    }
  }
  return cls;
}

float assingval_similarity(const std::int32_t* counts, int letter) {
  const auto& weights = kSimilarity[static_cast<std::size_t>(letter)];
  // Summed in column order and rounded to float at every step: the values are compared with
  // integer parameters, so the last bit matters. Gaps and U never contribute.
  float sum = 0.0f;
  for (int c = 1; c <= 20; ++c) {
    const float product = static_cast<float>(counts[c]) * weights[static_cast<std::size_t>(c)];
    sum = product + sum;
  }
  return sum;
}

}  // namespace selvane
