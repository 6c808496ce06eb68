// The one writer of alignment files: the selected blocks, the nonconserved blocks, the ungapped
// alignment and the three concatenations of a batch are all written here, in one entry format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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

// Creates the file `path` (see create_output_file) and writes one entry per sequence. PHYLIP is
// the relaxed sequential form tree builders read: a line "numseq width", then per sequence its
// name (blanks made '_', see phylip_name), one blank and all its characters on one line.
void write_alignment(const std::string& path, const OutputSwitches& outputs,
                     const EntryFormat& format, const AlignmentContent& content);

// A name as PHYLIP writes it: a blank or tab would end the name early, so each becomes '_'.
std::string phylip_name(std::string_view name);

// What writing `names` (1-based, names[0] unused) in PHYLIP does to them.
struct PhylipNames {
  std::int32_t renamed = 0;  // names that held a blank
  // The first two sequences (1-based) whose PHYLIP names are the same; 0 when there are none.
  std::int32_t clash_first = 0;
  std::int32_t clash_second = 0;
};
PhylipNames check_phylip_names(std::span<const std::string> names);

}  // namespace selvane
