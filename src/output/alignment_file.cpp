#include "output/alignment_file.h"

#include <string_view>

#include "core/output_file.h"
#include "output/writers.h"

namespace selvane {

std::int64_t AlignmentContent::width() const {
  std::int64_t total = 0;
  for (const ColumnRange& range : ranges) {
    if (range.last >= range.first) total += range.last - range.first + 1;
  }
  return total;
}

AlignmentContent selected_blocks(const Alignment& aln, const Blocks& blocks) {
  AlignmentContent content{aln.numseq, aln.name, {}};
  for (std::int32_t k = 1; k <= blocks.count(); ++k) {
    // A codon block left without a whole codon has first == last + 1 and adds nothing.
    if (blocks.last(k) >= blocks.first(k)) {
      content.ranges.push_back({&aln.let, blocks.first(k), blocks.last(k)});
    }
  }
  return content;
}

AlignmentContent nonconserved_blocks(const Alignment& aln, const Blocks& blocks) {
  AlignmentContent content{aln.numseq, aln.name, {}};
  // Stretch k lies between block k and block k + 1; the sentinels 0 and nupo + 1 of newpos make
  // the stretches before the first and after the last block (or the whole row, when there is no
  // block) come out the same way.
  for (std::int32_t k = 0; k <= blocks.count(); ++k) {
    const std::int32_t from = blocks.newpos[static_cast<std::size_t>(2 * k)] + 1;
    const std::int32_t to = blocks.newpos[static_cast<std::size_t>(2 * k + 1)] - 1;
    if (to >= from) content.ranges.push_back({&aln.let, from, to});
  }
  return content;
}

AlignmentContent whole_rows(const Rows& rows, std::span<const std::string> names) {
  return AlignmentContent{rows.numseq(), names, {{&rows, 1, rows.width()}}};
}

void write_alignment(const std::string& path, const OutputSwitches& outputs,
                     const EntryFormat& format, const AlignmentContent& content) {
  // A sequence made of several ranges is gathered first: the grouping then sees one stretch and
  // copies it by whole groups of ten, where a range ends in the middle of a group.
  std::string gathered;
  if (content.ranges.size() > 1) {
    gathered.reserve(static_cast<std::size_t>(content.width()));
  }
  Writer out = create_output_file(path, outputs);
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    begin_entry(out, format, content.names[static_cast<std::size_t>(n)]);
    ResidueGrouping grouping(out);
    gathered.clear();
    for (const ColumnRange& range : content.ranges) {
      if (range.last < range.first) continue;
      const std::string_view columns(range.rows->row(n) + range.first,
                                     static_cast<std::size_t>(range.last - range.first + 1));
      if (content.ranges.size() > 1) {
        gathered.append(columns);
      } else {
        grouping.put(columns);
      }
    }
    grouping.put(gathered);
    end_entry(out, format);
  }
  out.close();
}

void saveseq(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
             const Alignment& aln, const Blocks& blocks) {
  write_alignment(path, outputs, format, selected_blocks(aln, blocks));
}

void savencb(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
             const Alignment& aln, const Blocks& blocks) {
  write_alignment(path, outputs, format, nonconserved_blocks(aln, blocks));
}

void save_ung(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
              const Alignment& aln, const Rows& newlet) {
  write_alignment(path, outputs, format, whole_rows(newlet, aln.name));
}

}  // namespace selvane
