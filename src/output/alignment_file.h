// The one way alignment files are written: the selected blocks, the nonconserved blocks, the
// ungapped alignment and the three concatenations of a batch are all contents handed to
// write_alignment, which writes them with the writer of the chosen format
// (output/alignment_formats.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "core/writer.h"
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

// Calls put(std::string_view) with the characters of sequence n (1..numseq) of `content`, range
// by range: the range's columns of the sequence's row, or as many gaps ('-', in pieces) where
// the row index gives the sequence no row in the range.
template <class Put>
void for_each_stretch(const AlignmentContent& content, std::int32_t n, Put&& put);

// Sequence n of `content` grouped by ten characters, sixty a line (ResidueGrouping), the line
// of the last characters left open. A sequence of several ranges is gathered into `gathered`
// first (scratch space, kept between calls): the grouping then copies whole groups of ten where
// a range ends in the middle of one.
void put_grouped(Writer& out, const AlignmentContent& content, std::int32_t n,
                 std::string& gathered);

// Creates the file `path` (see create_output_file) and writes `content` into it with the writer
// of format.format.
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

template <class Put>
void for_each_stretch(const AlignmentContent& content, std::int32_t n, Put&& put) {
  static const std::string kGaps(256, '-');
  const RowIndex* index = content.rows_of;
  const auto i = static_cast<std::size_t>(n);
  const RowIndex::Entry* next = index ? index->entries.data() + index->start[i - 1] : nullptr;
  const RowIndex::Entry* end = index ? index->entries.data() + index->start[i] : nullptr;
  for (std::size_t k = 0; k < content.ranges.size(); ++k) {
    const ColumnRange& range = content.ranges[k];
    std::int32_t row = n;  // 0: the sequence is missing from this range
    if (index) row = next != end && next->range == k ? (next++)->row : 0;
    if (range.last < range.first) continue;
    auto width = static_cast<std::size_t>(range.last - range.first + 1);
    if (row != 0) {
      put(std::string_view(range.rows->row(row) + range.first, width));
      continue;
    }
    for (; width > kGaps.size(); width -= kGaps.size()) put(std::string_view(kGaps));
    put(std::string_view(kGaps).substr(0, width));
  }
}

}  // namespace selvane
