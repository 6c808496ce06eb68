// The concatenations of a batch run: material of every alignment joined sequence by sequence.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "output/entry.h"
#include "selection/blocks.h"

namespace selvane {

// One concatenation family. Each appended alignment adds one piece of `numseq` rows; sequence
// n of the concatenation is row n of every piece, in order. Pieces are kept apart rather than
// grown into long rows, so the batch costs time and memory linear in the characters joined.
class Concatenation {
 public:
  // allalloc, allalloc_init, allalloc_ung: an empty concatenation of `numseq` sequences.
  // `buffer` names it in the memory failure messages ("letall", "letall_init", "newletall").
  Concatenation(std::int32_t numseq, std::string_view buffer);

  // allconcat: the positions of the selected blocks, block by block.
  void append_blocks(const Alignment& aln, const Blocks& blocks);
  // allconcat_init: every position of the alignment.
  void append_alignment(const Alignment& aln);
  // allconcat_ung: every position of the ungapped alignment.
  void append_rows(const Rows& newlet);

  // Positions joined so far (the next free position minus one).
  std::int32_t length() const { return length_; }
  std::int32_t numseq() const { return numseq_; }

  // allsaveseq, allsaveseq_init, allsaveseq_ung: one entry per sequence, named from `names`
  // (the last alignment's, 1-based), written by the alignment writer.
  void save(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
            const std::vector<std::string>& names) const;

 private:
  Rows& add_piece(std::int32_t width);

  std::int32_t numseq_;
  std::string buffer_;
  std::int32_t length_ = 0;
  std::vector<Rows> pieces_;
};

}  // namespace selvane
