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

// The characters of sequence n (1..numseq) of `content`, in order, handed out a piece at a
// time: the range's columns of the sequence's row, range by range, or as many gaps ('-', in
// pieces) where the row index gives the sequence no row in a range. A writer that lays the
// sequences out side by side (Clustal) keeps one cursor per sequence.
class SequenceCursor {
 public:
  SequenceCursor(const AlignmentContent& content, std::int32_t n);
  // Calls put(std::string_view) with the next `count` characters (fewer where the sequence
  // ends), in one piece or more.
  template <class Put>
  void take(std::int64_t count, Put&& put);

 private:
  // Moves to the first column of range k (past the last range: the end) and finds the
  // sequence's row there.
  void enter(std::size_t k);

  const AlignmentContent* content_;
  std::int32_t n_;
  std::size_t range_ = 0;                  // the range of the next character
  std::int32_t column_ = 0;                // its column there (1-based)
  std::int32_t row_ = 0;                   // the sequence's row in that range; 0: it is gaps there
  const RowIndex::Entry* next_ = nullptr;  // the row index's entries not yet entered
  const RowIndex::Entry* end_ = nullptr;
};

// Calls put(std::string_view) with every character of sequence n (1..numseq) of `content`,
// range by range (see SequenceCursor).
template <class Put>
void for_each_stretch(const AlignmentContent& content, std::int32_t n, Put&& put) {
  SequenceCursor(content, n).take(INT64_MAX, put);
}

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

template <class Put>
void SequenceCursor::take(std::int64_t count, Put&& put) {
  static const std::string kGaps(256, '-');
  while (count > 0 && range_ < content_->ranges.size()) {
    const ColumnRange& range = content_->ranges[range_];
    const std::int64_t left = std::int64_t{range.last} - column_ + 1;
    if (left <= 0) {
      enter(range_ + 1);
      continue;
    }
    const std::int64_t width = left < count ? left : count;
    if (row_ != 0) {
      put(std::string_view(range.rows->row(row_) + column_, static_cast<std::size_t>(width)));
    } else {
      for (auto gaps = static_cast<std::size_t>(width); gaps > 0;) {
        const std::size_t piece = gaps < kGaps.size() ? gaps : kGaps.size();
        put(std::string_view(kGaps).substr(0, piece));
        gaps -= piece;
      }
    }
    column_ += static_cast<std::int32_t>(width);
    count -= width;
  }
}

}  // namespace selvane
