#include "selection/sites.h"

#include <algorithm>
#include <string_view>

#include "core/fatal.h"

namespace selvane {
namespace {

constexpr ResidueStates make_states(std::string_view letters) {
  ResidueStates states{};
  std::uint8_t state = 0;
  for (const char c : letters) {
    // U shares T's state: it follows T in the list.
    if (c != 'U') ++state;
    states[static_cast<unsigned char>(c)] = state;
    states[static_cast<unsigned char>(c - 'A' + 'a')] = state;
  }
  return states;
}

constexpr ResidueStates kNucleotideStates = make_states("ACGTU");
constexpr ResidueStates kAminoAcidStates = make_states("ACDEFGHIKLMNPQRSTVWY");

// Counting slots of a position: 0 for no residue, the states, then gaps.
constexpr int kGapSlot = 21;
constexpr int kSlots = 22;
constexpr std::int32_t kTile = 1024;

}  // namespace

const ResidueStates& residue_states(SeqType type) {
  return type == SeqType::kDna || type == SeqType::kCodons ? kNucleotideStates : kAminoAcidStates;
}

SiteStats site_stats(const Alignment& aln, SeqType type, std::span<const Span> blocks) {
  std::array<std::uint8_t, 256> slot = residue_states(type);
  slot[static_cast<unsigned char>('-')] = kGapSlot;  // readers store every gap as '-'
  std::vector<std::int32_t> counts;
  allocating("sites", [&] { counts.resize(static_cast<std::size_t>(kTile) * kSlots); });
  SiteStats stats;
  std::size_t block = 0;  // the first selected block not wholly before the tile
  for (std::int32_t p0 = 1; p0 <= aln.nupo; p0 += kTile) {
    const std::int32_t width = std::min(kTile, aln.nupo - p0 + 1);
    std::fill(counts.begin(), counts.end(), 0);
    // The tile's counts stay in cache while every row passes over it.
    for (std::int32_t s = 1; s <= aln.numseq; ++s) {
      const auto* row = reinterpret_cast<const unsigned char*>(aln.let.row(s)) + p0;
      std::int32_t* at = counts.data();
      for (std::int32_t i = 0; i < width; ++i, at += kSlots) ++at[slot[row[i]]];
    }
    for (std::int32_t i = 0; i < width; ++i) {
      const std::int32_t* at = counts.data() + static_cast<std::size_t>(i) * kSlots;
      int present = 0;
      int repeated = 0;
      for (int k = 1; k < kGapSlot; ++k) {
        present += at[k] >= 1 ? 1 : 0;
        repeated += at[k] >= 2 ? 1 : 0;
      }
      const std::int32_t p = p0 + i;
      while (block < blocks.size() && blocks[block].last < p) ++block;
      const bool selected = block < blocks.size() && blocks[block].first <= p;
      const bool variable = present >= 2;
      const bool informative = repeated >= 2;
      stats.variable += variable;
      stats.informative += informative;
      stats.gaps += at[kGapSlot];
      if (selected) {
        stats.selected_variable += variable;
        stats.selected_informative += informative;
        stats.selected_gaps += at[kGapSlot];
      }
    }
  }
  return stats;
}

std::vector<bool> rows_with_residues(const Alignment& aln, SeqType type,
                                     std::span<const Span> spans) {
  const ResidueStates& states = residue_states(type);
  std::vector<bool> holds(static_cast<std::size_t>(aln.numseq) + 1, false);
  for (std::int32_t s = 1; s <= aln.numseq; ++s) {
    const char* row = aln.let.row(s);
    for (const Span& span : spans) {
      if (span.empty()) continue;
      if (std::any_of(row + span.first, row + span.last + 1,
                      [&](char c) { return states[static_cast<unsigned char>(c)] != 0; })) {
        holds[static_cast<std::size_t>(s)] = true;
        break;
      }
    }
  }
  return holds;
}

}  // namespace selvane
