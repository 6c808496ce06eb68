// Conservation value and residue letter of every position of an alignment.
#pragma once

#include <cstdint>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"

namespace selvane {

// The residue letter table; a letter's index is its slot in the counts and in the matrix.
inline constexpr char kLetters[] = "UACGTDEFHIKLMNPQRSVWY-";
inline constexpr int kNumLetters = 22;
inline constexpr int kGapIndex = 21;

// Per-position results, indexed by position 1..nupo; entry 0 exists and is never used.
// The residue counts behind them are kept only while a group of columns is scored: stored for
// the whole alignment they would take 88 bytes a position, many times the alignment itself
// when it has few sequences.
struct Classification {
  std::vector<float> val;    // conservation value; 0 for an excluded position
  std::vector<char> val_aa;  // upper-case letter that gave the value, '?' when none
  // Only when asked for (the overview draws it): the value each excluded position would have
  // had, 0 for the others; empty otherwise. The selection never reads it.
  std::vector<float> excluded_val;
};

// The largest number of gaps a position of `numseq` sequences may hold and still be scored
// under gap policy b5: None 0, With Half initnegval - 1 (at most half the sequences), All
// numseq. A position with more gaps is excluded: its value is 0.
std::int32_t gap_limit(GapPolicy tog_gaps, std::int32_t initnegval, std::int32_t numseq);

// Counts, scores and (for proteins with b6 on) re-scores every position.
// Reads seq_type, tog_gaps, tog_sim and initnegval from the settings. With `score_excluded`,
// the positions the gap policy excludes are scored too, into excluded_val.
Classification assignval(const Alignment& aln, const BlockParams& params,
                         bool score_excluded = false);

// The similarity re-score of one protein position: `counts` holds the kNumLetters counts of the
// position and `letter` the index (1..20) of its most frequent residue.
float assingval_similarity(const std::int32_t* counts, int letter);

// True when character c at position p is a conserved residue: its upper-case form is the
// position's letter and the position's value reaches b1 (negval, compared in single precision).
inline bool is_conserved_residue(const Classification& cls, std::int32_t negval, char c,
                                 std::int32_t p) {
  const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return upper == cls.val_aa[static_cast<std::size_t>(p)] &&
         cls.val[static_cast<std::size_t>(p)] >= static_cast<float>(negval);
}

}  // namespace selvane
