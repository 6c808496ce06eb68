// The one writer of alignment files: the selected blocks, the nonconserved blocks, the ungapped
// alignment and the three concatenations of a batch are all written here, in one entry format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "output/entry.h"
#include "selection/blocks.h"

namespace selvane {

// Columns first..last (1-based, both included) of every row of `rows`; empty when last < first.
struct ColumnRange {
  const Rows* rows = nullptr;
  std::int32_t first = 1;
  std::int32_t last = 0;
};

// Which row of which range holds each sequence, for a content whose ranges do not all hold
// sequence n in row n (a concatenation joined by taxon, whose alignments list different taxa in
// different orders). The entries of sequence n (1-based) are entries[start[n - 1]] up to
// entries[start[n] - 1], in increasing range order; in a range without an entry for it, the
// sequence is gaps ('-') over the range's width. It holds one entry per row present, so its
// size does not grow with the gaps it stands for.
struct RowIndex {
  struct Entry {
    std::uint32_t range;  // 0-based index into AlignmentContent::ranges
    std::int32_t row;     // 1-based row of that range's rows
  };
  std::vector<std::size_t> start = {0};  // numseq + 1 entries
  std::vector<Entry> entries;
};

// What an alignment file holds: sequence n (1..numseq) is named names[n] (names[0] is unused)
// and is made of its row in every range, in order, without a mark between ranges; with a
// row index, of the rows it gives.
struct AlignmentContent {
  std::int32_t numseq = 0;
  std::span<const std::string> names;
  std::vector<ColumnRange> ranges;
  const RowIndex* rows_of = nullptr;  // none: sequence n is row n of every range

  // Characters of every sequence.
  std::int64_t width() const;
};

// The positions of the selected blocks of `aln`, block by block.
AlignmentContent selected_blocks(const Alignment& aln, const Blocks& blocks);
// The positions outside every selected block.
AlignmentContent nonconserved_blocks(const Alignment& aln, const Blocks& blocks);
// Every column of `rows`, under `names`.
AlignmentContent whole_rows(const Rows& rows, std::span<const std::string> names);

// Creates the file `path` (see create_output_file) and writes one entry per sequence.
void write_alignment(const std::string& path, const OutputSwitches& outputs,
                     const EntryFormat& format, const AlignmentContent& content);

}  // namespace selvane
