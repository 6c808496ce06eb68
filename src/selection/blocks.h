// Selection of the conserved blocks from the conservation values.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "selection/classify.h"

namespace selvane {

// A stretch of positions first..last, both ends included, counted from 1 as every position of
// the program is. A codon block left without a whole codon keeps the ends the snapping gave it,
// its first position one past its last: it holds no position, but it is still a block of the
// reports ("N selected block(s)", the flank pairs, the EPS map, the overview's numbering).
struct Span {
  std::int32_t first = 0;
  std::int32_t last = 0;

  std::int32_t length() const { return last >= first ? last - first + 1 : 0; }
  bool empty() const { return last < first; }
  bool operator==(const Span&) const = default;
};

// Positions held by `spans` (empty ones add nothing); 64 bits, as a batch may join more.
std::int64_t positions_in(std::span<const Span> spans);

// The share of `selected` among `nupo` positions in percent, truncated (0 when nupo is 0).
std::int32_t percent_of(std::int64_t selected, std::int32_t nupo);

// The blocks of an alignment of nupo positions, each list in increasing order of position.
struct Blocks {
  std::int32_t nupo = 0;
  std::vector<Span> pos;     // the initial blocks, between flank positions
  std::vector<Span> newpos;  // the selected blocks
  // The selected blocks as residue numbers of the first sequence (its characters other than
  // '-'): a first end is the number of residues before the block plus 1, a last end the number
  // of residues up to and including the block's last position. Empty when newpos is.
  std::vector<Span> newposseq;

  // Selected blocks, those without a whole codon included.
  std::int32_t count() const { return static_cast<std::int32_t>(newpos.size()); }
  // Selected positions.
  std::int32_t nupo3() const { return static_cast<std::int32_t>(positions_in(newpos)); }
  // Selected positions in percent of nupo, truncated.
  std::int32_t nupo3per() const { return percent_of(positions_in(newpos), nupo); }
};

// The stretches before, between and after the selected blocks that hold a position: with the
// selected blocks, every position 1..blocks.nupo once.
std::vector<Span> nonconserved(const Blocks& blocks);

// Reads flankval, negval, negblen, posblen, posblen2 and seq_type of the block parameters, and the
// first sequence of the alignment for the first-sequence boundaries.
Blocks getpos(const Classification& cls, const Alignment& aln, const BlockParams& params);

}  // namespace selvane
