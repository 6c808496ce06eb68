// load() and its relatives: the format's reader through the table, the checks of a whole
// alignment, and the closing up of the positions that are gaps in every sequence.
#include "input/readers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/fatal.h"
#include "input/builders.h"
#include "input/formats.h"
#include "input/problems.h"

namespace selvane {

namespace {

// Drops the positions that hold '-' in every sequence, closing up the rest in place.
void remove_all_gap_positions(Alignment& al) {
  Rows& let = al.let;
  const std::int32_t nupo = al.nupo;
  // Candidates start as the gaps of the first row and only shrink, so the rows after the first
  // usually cost a glance at a handful of positions.
  std::vector<std::int32_t> all_gap;
  {
    const char* row = let.row(1);
    for (std::int32_t p = 1; p <= nupo; ++p) {
      if (row[p] == '-') all_gap.push_back(p);
    }
  }
  for (std::int32_t s = 2; s <= al.numseq && !all_gap.empty(); ++s) {
    const char* row = let.row(s);
    std::size_t kept = 0;
    for (const std::int32_t p : all_gap) {
      if (row[p] == '-') all_gap[kept++] = p;
    }
    all_gap.resize(kept);
  }
  if (all_gap.empty()) return;

  const std::int32_t width = nupo - static_cast<std::int32_t>(all_gap.size());
  const std::size_t old_stride = let.stride();
  const std::size_t new_stride = static_cast<std::size_t>(width) + 1;
  RowStorage& data = let.storage();
  // Targets never lie after their sources, so copying forward in place is safe.
  for (std::int32_t s = 1; s <= al.numseq; ++s) {
    const char* src = data.data() + static_cast<std::size_t>(s - 1) * old_stride;
    char* dst = data.data() + static_cast<std::size_t>(s - 1) * new_stride;
    std::size_t from = 0;  // next source index of the row; index 0 is the padding byte
    std::size_t to = 0;
    for (const std::int32_t gap : all_gap) {
      const std::size_t span = static_cast<std::size_t>(gap) - from;
      std::memmove(dst + to, src + from, span);
      to += span;
      from = static_cast<std::size_t>(gap) + 1;
    }
    std::memmove(dst + to, src + from, old_stride - from);
  }
  data.resize(static_cast<std::size_t>(al.numseq) * new_stride);
  let.reshape(al.numseq, width);
  al.nupo = width;
  al.gap_columns = std::move(all_gap);
}

// The columns of `removed` (input columns, ascending, of an input `input_width` wide) that do not
// make a whole codon with the others: codons are columns 1-3, 4-6, ..., the last one as wide as
// the input leaves it.
std::vector<std::int32_t> partial_codon_columns(const std::vector<std::int32_t>& removed,
                                                std::int32_t input_width) {
  std::vector<std::int32_t> partial;
  for (std::size_t i = 0; i < removed.size();) {
    const std::int32_t first = (removed[i] - 1) / 3 * 3 + 1;
    const std::int32_t last = std::min(first + 2, input_width);
    std::size_t j = i;
    while (j < removed.size() && removed[j] <= last) ++j;
    if (static_cast<std::int32_t>(j - i) != last - first + 1) {
      partial.insert(partial.end(), removed.begin() + static_cast<std::ptrdiff_t>(i),
                     removed.begin() + static_cast<std::ptrdiff_t>(j));
    }
    i = j;
  }
  return partial;
}

// The row of `fileformat`; an undecided format ends the run.
const InputFormatRow& format_or_stop(InputFormat fileformat, const std::string& path) {
  const InputFormatRow* row = find_input_format(fileformat);
  if (row == nullptr) stop_reading(ReadProblem(ReadProblemKind::kNoInput), path, LineEnds::kNone);
  return *row;
}

// Reads `in` with the reader of `row` into `sink`; a problem ends the run.
void read_into(const InputFormatRow& row, BlockReader& in, SequenceSink& sink, bool long_names) {
  ReadOptions options;
  options.long_names = long_names;
  if (auto problem = row.read(in, sink, options)) {
    if (problem->format.empty()) problem->format = row.title;
    stop_reading(*problem, in.name(), in.line_ends());
  }
}

Alignment read_from(const InputFormatRow& row, BlockReader& in, bool long_names) {
  AlignmentBuilder builder(in.size_hint());
  read_into(row, in, builder, long_names);
  return builder.finish();
}

}  // namespace

Alignment load(const std::string& path, InputFormat fileformat, bool long_names) {
  const InputFormatRow& row = format_or_stop(fileformat, path);
  return load(open_or_stop(path, "input"), row.format, long_names);
}

Alignment load(BlockReader in, InputFormat fileformat, bool long_names) {
  Alignment al = read_from(format_or_stop(fileformat, in.name()), in, long_names);
  const auto stop = [&](ReadProblemKind kind, std::int64_t count) {
    ReadProblem problem(kind);
    problem.count = count;
    stop_reading(problem, in.name(), in.line_ends());
  };
  if (al.numseq < 2) stop(ReadProblemKind::kTooFewSequences, al.numseq);
  remove_all_gap_positions(al);
  if (al.nupo < 2) stop(ReadProblemKind::kTooFewPositions, al.nupo);
  return al;
}

Alignment read_alignment(const std::string& path, InputFormat fileformat, bool long_names) {
  const InputFormatRow& row = format_or_stop(fileformat, path);
  BlockReader in = open_or_stop(path, "input");
  return read_from(row, in, long_names);
}

void keep_codon_frame(Alignment& al) {
  const auto input_width = al.nupo + static_cast<std::int32_t>(al.gap_columns.size());
  const std::vector<std::int32_t> back = partial_codon_columns(al.gap_columns, input_width);
  if (back.empty()) return;

  // The new rows as pieces: runs of kept positions copied, and columns of gaps put back.
  struct Piece {
    std::int32_t from;  // first position copied; 0 for gaps
    std::int32_t count;
  };
  std::vector<Piece> pieces;
  std::vector<std::int32_t> still_removed;
  std::int32_t next_kept = 1;  // the next position of the rows as they are
  std::int32_t column = 0;     // the input column of the last removed column seen
  std::size_t b = 0;
  const auto add = [&](std::int32_t from, std::int32_t count) {
    if (count == 0) return;
    if (from == 0 && !pieces.empty() && pieces.back().from == 0) {
      pieces.back().count += count;
    } else {
      pieces.push_back({from, count});
    }
  };
  for (const std::int32_t removed : al.gap_columns) {
    const std::int32_t kept = removed - column - 1;
    add(next_kept, kept);
    next_kept += kept;
    column = removed;
    if (b < back.size() && back[b] == removed) {
      add(0, 1);
      ++b;
    } else {
      still_removed.push_back(removed);
    }
  }
  add(next_kept, al.nupo - next_kept + 1);

  const std::int32_t width = al.nupo + static_cast<std::int32_t>(back.size());
  Rows rows = allocating("let", [&] { return Rows(al.numseq, width); });
  for (std::int32_t s = 1; s <= al.numseq; ++s) {
    const char* from = al.let.row(s);
    char* to = rows.row(s) + 1;
    for (const Piece& piece : pieces) {
      const auto count = static_cast<std::size_t>(piece.count);
      if (piece.from == 0) {
        std::memset(to, '-', count);
      } else {
        std::memcpy(to, from + piece.from, count);
      }
      to += count;
    }
  }
  al.let = std::move(rows);
  al.nupo = width;
  al.gap_columns = std::move(still_removed);
}

std::vector<std::int32_t> input_columns(const Alignment& al) {
  std::vector<std::int32_t> columns(static_cast<std::size_t>(al.nupo) + 1, 0);
  std::size_t r = 0;
  std::int32_t column = 0;
  for (std::int32_t p = 1; p <= al.nupo; ++p) {
    ++column;
    while (r < al.gap_columns.size() && al.gap_columns[r] == column) {
      ++column;
      ++r;
    }
    columns[static_cast<std::size_t>(p)] = column;
  }
  return columns;
}

std::vector<std::string> read_names(const std::string& path, InputFormat fileformat,
                                    bool long_names) {
  const InputFormatRow& row = format_or_stop(fileformat, path);
  BlockReader in = open_or_stop(path, "input");
  NamesBuilder builder;
  read_into(row, in, builder, long_names);
  return builder.finish();
}

}  // namespace selvane
