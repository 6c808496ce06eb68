#include "output/alignment_file.h"

#include <string_view>
#include <unordered_map>

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

std::string phylip_name(std::string_view name) {
  std::string written(name);
  for (char& c : written) {
    if (c == ' ' || c == '\t') c = '_';
  }
  return written;
}

PhylipNames check_phylip_names(std::span<const std::string> names) {
  PhylipNames found;
  std::unordered_map<std::string, std::int32_t> seen;
  for (std::size_t n = 1; n < names.size(); ++n) {
    std::string written = phylip_name(names[n]);
    if (written != names[n]) ++found.renamed;
    const auto [at, added] = seen.emplace(std::move(written), static_cast<std::int32_t>(n));
    if (!added && found.clash_first == 0) {
      found.clash_first = at->second;
      found.clash_second = static_cast<std::int32_t>(n);
    }
  }
  return found;
}

namespace {

void put_gaps(ResidueGrouping& grouping, std::size_t count) {
  static const std::string kGaps(256, '-');
  for (; count > kGaps.size(); count -= kGaps.size()) grouping.put(kGaps);
  grouping.put(std::string_view(kGaps).substr(0, count));
}

}  // namespace

void write_alignment(const std::string& path, const OutputSwitches& outputs,
                     const EntryFormat& format, const AlignmentContent& content) {
  const bool phylip = format.format == AlignmentFormat::kPhylip;
  // A grouped sequence made of several ranges is gathered first: the grouping then sees one
  // stretch and copies it by whole groups of ten, where a range ends in the middle of a group.
  const bool gather = !phylip && content.ranges.size() > 1;
  std::string gathered;
  if (gather) gathered.reserve(static_cast<std::size_t>(content.width()));
  Writer out = create_output_file(path, outputs);
  if (phylip) {
    out.number(content.numseq);
    out.put(' ');
    out.number(content.width());
    out.put('\n');
  }
  const RowIndex* index = content.rows_of;
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    const auto i = static_cast<std::size_t>(n);
    const std::string& name = content.names[i];
    begin_entry(out, format, phylip ? std::string_view(phylip_name(name)) : std::string_view(name));
    ResidueGrouping grouping(out);
    gathered.clear();
    const RowIndex::Entry* next = index ? index->entries.data() + index->start[i - 1] : nullptr;
    const RowIndex::Entry* end = index ? index->entries.data() + index->start[i] : nullptr;
    for (std::size_t k = 0; k < content.ranges.size(); ++k) {
      const ColumnRange& range = content.ranges[k];
      std::int32_t row = n;  // 0: the sequence is missing from this range
      if (index) row = next != end && next->range == k ? (next++)->row : 0;
      if (range.last < range.first) continue;
      const auto width = static_cast<std::size_t>(range.last - range.first + 1);
      if (gather) {
        if (row == 0) {
          gathered.append(width, '-');
        } else {
          gathered.append(range.rows->row(row) + range.first, width);
        }
      } else if (phylip) {  // the whole sequence on one line, ungrouped
        if (row == 0) {
          out.fill('-', width);
        } else {
          out.write(std::string_view(range.rows->row(row) + range.first, width));
        }
      } else if (row == 0) {
        put_gaps(grouping, width);
      } else {
        grouping.put(std::string_view(range.rows->row(row) + range.first, width));
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
