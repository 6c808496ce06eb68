#include "output/alignment_file.h"

#include <string_view>

#include "core/fatal.h"
#include "core/output_file.h"
#include "output/alignment_formats.h"
#include "output/writers.h"

namespace selvane {

std::int64_t AlignmentContent::width() const {
  std::int64_t total = 0;
  for (const ColumnRange& range : ranges) {
    if (range.last >= range.first) total += range.last - range.first + 1;
  }
  return total;
}

SequenceCursor::SequenceCursor(const AlignmentContent& content, std::int32_t n)
    : content_(&content), n_(n) {
  if (const RowIndex* index = content.rows_of) {
    const auto i = static_cast<std::size_t>(n);
    next_ = index->entries.data() + index->start[i - 1];
    end_ = index->entries.data() + index->start[i];
  }
  enter(0);
}

void SequenceCursor::enter(std::size_t k) {
  range_ = k;
  if (k >= content_->ranges.size()) return;
  column_ = content_->ranges[k].first;
  row_ = n_;
  // The entries are in increasing range order: the next one is this range's, or it has none.
  if (content_->rows_of) row_ = next_ != end_ && next_->range == k ? (next_++)->row : 0;
}

namespace {

AlignmentContent spans_of(const Alignment& aln, const std::vector<Span>& spans) {
  AlignmentContent content{aln.numseq, aln.name, {}};
  content.ranges.reserve(spans.size());
  for (const Span& span : spans) {
    // A codon block left without a whole codon adds nothing.
    if (!span.empty()) content.ranges.push_back({&aln.let, span.first, span.last});
  }
  return content;
}

}  // namespace

AlignmentContent selected_blocks(const Alignment& aln, const Blocks& blocks) {
  return spans_of(aln, blocks.newpos);
}

AlignmentContent nonconserved_blocks(const Alignment& aln, const Blocks& blocks) {
  return spans_of(aln, nonconserved(blocks));
}

AlignmentContent whole_rows(const Rows& rows, std::span<const std::string> names) {
  return AlignmentContent{rows.numseq(), names, {{&rows, 1, rows.width()}}};
}

void put_grouped(Writer& out, const AlignmentContent& content, std::int32_t n,
                 std::string& gathered) {
  ResidueGrouping grouping(out);
  if (content.ranges.size() <= 1) {
    for_each_stretch(content, n, [&](std::string_view chars) { grouping.put(chars); });
    return;
  }
  gathered.clear();
  for_each_stretch(content, n, [&](std::string_view chars) { gathered.append(chars); });
  grouping.put(gathered);
}

namespace {

// A FASTA sequence with a stop ('*') written as NBRF/PIR would end there, and the residues after
// it would read as a line of garbage; a '[' would start a comment in NEXUS: such a file is not
// written.
void refuse_unwritable_characters(const std::string& path, const OutputSwitches& outputs,
                                  const AlignmentWriter& writer, const AlignmentContent& content) {
  if (writer.refused.characters.empty()) return;
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    std::int64_t position = 0;  // of the first such character, from 1; 0: none
    char found = '\0';
    std::int64_t before = 0;  // characters of the sequence before this stretch
    for_each_stretch(content, n, [&](std::string_view chars) {
      const std::size_t at =
          position == 0 ? chars.find_first_of(writer.refused.characters) : std::string_view::npos;
      if (at != std::string_view::npos) {
        position = before + static_cast<std::int64_t>(at) + 1;
        found = chars[at];
      }
      before += static_cast<std::int64_t>(chars.size());
    });
    if (position == 0) continue;
    fatal("\nFile not written",
          final_output_path(path, outputs) + ": sequence " + std::to_string(n) + " (\"" +
              content.names[static_cast<std::size_t>(n)] + "\") holds a '" + found +
              "' at position " + std::to_string(position) + ", which " +
              std::string(writer.refused.why) + "; choose another --out-format");
  }
}

}  // namespace

void write_alignment(const std::string& path, const OutputSwitches& outputs,
                     const EntryFormat& format, const AlignmentContent& content) {
  const AlignmentWriter& writer = alignment_writer(format.format);
  refuse_unwritable_characters(path, outputs, writer, content);
  Writer out = create_output_file(path, outputs);
  writer.write(out, content, format.seq_type);
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
