#include "output/summary_table.h"

#include "core/output_file.h"
#include "output/tsv.h"

namespace selvane {

void save_summary(const std::string& path, const OutputSwitches& outputs,
                  std::span<const SummaryRow> rows) {
  Writer out = create_output_file(path, outputs);
  out.write(kSummaryHeader);
  for (const SummaryRow& row : rows) {
    const double cells = static_cast<double>(row.sequences) * row.positions;
    const double selected_cells = static_cast<double>(row.sequences) * row.selected;
    write_text(out, row.alignment);
    out.put('\t');
    for (const char c : type_name(row.type))
      out.put(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    for (const std::int64_t n : {std::int64_t{row.sequences}, std::int64_t{row.columns},
                                 std::int64_t{row.positions}, std::int64_t{row.selected}}) {
      out.put('\t');
      out.number(n);
    }
    out.put('\t');
    write_share(out, row.selected, row.positions);
    out.put('\t');
    out.number(row.blocks);
    out.put('\t');
    write_share(out, static_cast<double>(row.sites.gaps), cells);
    out.put('\t');
    write_share(out, static_cast<double>(row.sites.selected_gaps), selected_cells);
    for (const std::int64_t n : {row.sites.variable, row.sites.informative,
                                 row.sites.selected_variable, row.sites.selected_informative}) {
      out.put('\t');
      out.number(n);
    }
    out.put('\t');
    if (row.taxa) out.number(*row.taxa);
    out.put('\n');
  }
  out.close();
}

}  // namespace selvane
