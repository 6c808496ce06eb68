// The concatenations of a batch run: material of every alignment joined sequence by sequence.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "batch/partitions.h"
#include "core/run_state.h"
#include "input/alignment.h"
#include "output/alignment_file.h"
#include "output/entry.h"
#include "selection/blocks.h"

namespace selvane {

// One concatenation family. Each appended alignment adds one piece: its own rows, over the
// positions it contributes. Pieces are kept apart rather than grown into long rows, so the
// batch costs time and memory linear in the characters joined; which row of each piece a
// sequence of the file is made of is decided when it is written (by position or by taxon).
class Concatenation {
 public:
  // allalloc, allalloc_init, allalloc_ung: an empty concatenation. `buffer` names it in the
  // memory failure messages ("letall", "letall_init", "newletall").
  explicit Concatenation(std::string_view buffer);

  // allconcat: the positions of the selected blocks, block by block.
  void append_blocks(const Alignment& aln, const Blocks& blocks);
  // allconcat_init: every position of the alignment.
  void append_alignment(const Alignment& aln);
  // allconcat_ung: every position of the ungapped alignment.
  void append_rows(const Rows& newlet);

  // Positions joined so far (the next free position minus one).
  std::int32_t length() const { return length_; }

  // The piece each appended alignment added, in order: its rows over the positions it added.
  const std::vector<Rows>& pieces() const { return pieces_; }

  // The positions each appended alignment added, paired with its file name (`files`, one per
  // alignment appended, in order): the genes of the partition file.
  std::vector<PartitionGene> genes(const std::vector<std::string>& files) const;

  // allsaveseq, allsaveseq_init, allsaveseq_ung: one entry per name of `names` (1-based; entry
  // 0 unused), written by the alignment writer. Without `rows_of`, sequence n is row n of every
  // piece (joined by position; the names are the last alignment's); with it, the pieces are the
  // ranges it indexes, one per alignment appended.
  void save(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
            std::span<const std::string> names, const RowIndex* rows_of = nullptr) const;

 private:
  Rows& add_piece(std::int32_t numseq, std::int32_t width);

  std::string buffer_;
  std::int32_t length_ = 0;
  std::vector<Rows> pieces_;
};

}  // namespace selvane
