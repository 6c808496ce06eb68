#include "output/alignment_file.h"

#include <string_view>

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

void write_alignment(const std::string& path, const OutputSwitches& outputs,
                     const EntryFormat& format, const AlignmentContent& content) {
  const AlignmentWriter& writer = alignment_writer(format.format);
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
