// Sites as phylogenetics counts them: which characters are residues, and the variable and
// parsimony-informative sites of an alignment and of its selected blocks.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "selection/blocks.h"

namespace selvane {

// The character states of a sequence type, by byte: 0 for a character that is no residue, else
// the residue's state from 1. DNA and codons have the states A, C, G and T, U counting as T;
// proteins the 20 amino acids ACDEFGHIKLMNPQRSTVWY. Lower case counts as upper case. Gaps ('-',
// '.'), N, X, '?', the other ambiguity codes (R, Y, B, Z, J, ...) and anything else are no
// residue. These are the letters conservation counts (selection/classify.h), U and T apart.
using ResidueStates = std::array<std::uint8_t, 256>;
const ResidueStates& residue_states(SeqType type);

// A site is variable when it holds at least two different states, and parsimony-informative
// when at least two states each occur in at least two sequences; characters that are no
// residue do not count. Counted over every position of an alignment (its all-gap columns, which
// are neither, removed) and over the positions of its selected blocks, with its gaps.
struct SiteStats {
  std::int64_t variable = 0;
  std::int64_t informative = 0;
  std::int64_t selected_variable = 0;
  std::int64_t selected_informative = 0;
  std::int64_t gaps = 0;           // gap characters at every position
  std::int64_t selected_gaps = 0;  // at the selected positions
};

// One pass over the rows of `aln`, as `type` reads them; `blocks` are its selected blocks.
SiteStats site_stats(const Alignment& aln, SeqType type, std::span<const Span> blocks);

// For each sequence s of `aln` (entry 0 unused): whether it holds a residue of `type` at a
// position of `spans`.
std::vector<bool> rows_with_residues(const Alignment& aln, SeqType type,
                                     std::span<const Span> spans);

}  // namespace selvane
