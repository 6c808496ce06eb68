#include "output/site_table.h"

#include <string_view>

#include "core/output_file.h"
#include "output/overview.h"
#include "output/tsv.h"

namespace selvane {

namespace {

// The class of position p as getpos() reads it: values compared in single precision with b1
// and b2, a value of 0 being an excluded position.
std::string_view class_of(float val, const BlockParams& params) {
  if (val == 0.0f) return "excluded";
  if (val >= static_cast<float>(params.negval)) return "conserved";
  if (val >= static_cast<float>(params.flankval)) return "flank";
  return "nonconserved";
}

}  // namespace

void save_site_table(const std::string& path, const OutputSwitches& outputs,
                     const BlockParams& params, const Alignment& aln, const Classification& cls,
                     const Blocks& blocks, std::span<const std::int32_t> gaps) {
  const OverviewCounts counts = overview_counts(aln, params, cls, gaps);
  const auto columns = aln.nupo + static_cast<std::int32_t>(aln.gap_columns.size());
  Writer out = create_output_file(path, outputs);
  out.write(kSiteTableHeader);
  std::size_t removed = 0;  // the next entry of gap_columns
  std::size_t block = 0;    // the first selected block that does not end before the position
  std::int32_t p = 0;       // the last position written
  for (std::int32_t column = 1; column <= columns; ++column) {
    out.number(column);
    if (removed < aln.gap_columns.size() && aln.gap_columns[removed] == column) {
      ++removed;
      out.write("\t\t\t");
      out.number(aln.numseq);
      out.write("\tallgap\t0\t\n");
      continue;
    }
    ++p;
    const auto at = static_cast<std::size_t>(p);
    out.put('\t');
    out.number(p);
    out.put('\t');
    write_share(out, counts.share(at).val, 1.0);
    out.put('\t');
    out.number(gaps[at]);
    out.put('\t');
    out.write(class_of(cls.val[at], params));
    while (block < blocks.newpos.size() && blocks.newpos[block].last < p) ++block;
    if (block < blocks.newpos.size() && blocks.newpos[block].first <= p) {
      out.write("\t1\t");
      out.number(static_cast<std::int64_t>(block) + 1);
      out.put('\n');
    } else {
      out.write("\t0\t\n");
    }
  }
  out.close();
}

}  // namespace selvane
