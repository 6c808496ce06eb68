// Selection of the conserved blocks from the conservation values.
#pragma once

#include <cstdint>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "selection/classify.h"

namespace selvane {

// Block boundaries are alignment positions 1..nupo, both ends inclusive, stored in pairs from
// entry 1: block k (k = 1..B) runs from newpos[2k-1] to newpos[2k]. Entry 0 is always 0 and
// the entry after the last pair, newpos[2B+1], is always nupo + 1 (also when B is 0), so the
// stretch before, between and after the blocks is newpos[2k] + 1 .. newpos[2k+1] - 1 for
// k = 0..B. A codon block left without a whole codon has newpos[2k-1] == newpos[2k] + 1.
struct Blocks {
  std::vector<std::int32_t> pos;     // initial blocks, same layout (without the closing entry)
  std::int32_t topos = 0;            // 2 x number of initial blocks
  std::vector<std::int32_t> newpos;  // selected blocks, layout above
  std::int32_t newtopos = 0;         // 2 x number of selected blocks
  std::int32_t nupo3 = 0;            // selected positions
  std::int32_t nupo3per = 0;         // nupo3 * 100 / nupo, truncated
  // Only when newtopos > 0 (empty otherwise): the boundaries as residue numbers of the first
  // sequence (its characters other than '-'), in the layout of newpos: entry 0 is 0; a first
  // boundary is the number of residues before the block plus 1, a last boundary the number of
  // residues up to and including the block's last position; the closing entry is the number of
  // residues of the first sequence plus 1.
  std::vector<std::int32_t> newposseq;

  std::int32_t count() const { return newtopos / 2; }
  std::int32_t first(std::int32_t k) const { return newpos[static_cast<std::size_t>(2 * k - 1)]; }
  std::int32_t last(std::int32_t k) const { return newpos[static_cast<std::size_t>(2 * k)]; }
};

// Reads flankval, negval, negblen, posblen, posblen2 and seq_type of the block parameters, and the
// first sequence of the alignment for the first-sequence boundaries.
Blocks getpos(const Classification& cls, const Alignment& aln, const BlockParams& params);

}  // namespace selvane
