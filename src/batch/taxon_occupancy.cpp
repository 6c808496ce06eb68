#include "batch/taxon_occupancy.h"

#include <algorithm>

#include "core/fatal.h"
#include "core/output_file.h"
#include "output/tsv.h"
#include "selection/sites.h"

namespace selvane {

namespace {

// Calls use(range, row) for every piece sequence n of rows_of has a row in, in order.
template <typename Use>
void each_row(const Concatenation& c, const RowIndex& rows_of, std::size_t n, Use&& use) {
  for (std::size_t e = rows_of.start[n - 1]; e < rows_of.start[n]; ++e) {
    const RowIndex::Entry& entry = rows_of.entries[e];
    use(entry.range, c.pieces()[entry.range].row(entry.row));
  }
}

// The ends of `parts` nearly equal parts of `count` things (from 1): part k ends at
// floor((k + 1) * count / parts), as the overview's columns and rows do.
std::vector<std::int32_t> part_ends(std::int32_t count, std::int32_t parts) {
  std::vector<std::int32_t> ends(static_cast<std::size_t>(parts));
  for (std::int32_t k = 0; k < parts; ++k) {
    ends[static_cast<std::size_t>(k)] =
        static_cast<std::int32_t>((std::int64_t{k} + 1) * count / parts);
  }
  return ends;
}

}  // namespace

std::vector<std::int64_t> residues_by_piece(const Concatenation& c, const RowIndex& rows_of,
                                            std::size_t n, SeqType type) {
  const ResidueStates& residue = residue_states(type);
  std::vector<std::int64_t> counts(c.pieces().size(), 0);
  each_row(c, rows_of, n, [&](std::uint32_t range, const char* row) {
    const std::int32_t width = c.pieces()[range].width();
    counts[range] = std::count_if(row + 1, row + 1 + width, [&](char ch) {
      return residue[static_cast<unsigned char>(ch)] != 0;
    });
  });
  return counts;
}

std::vector<bool> sequences_with_residues(const Concatenation& c, const RowIndex& rows_of,
                                          SeqType type) {
  const ResidueStates& residue = residue_states(type);
  std::vector<bool> holds(rows_of.start.size(), false);
  for (std::size_t n = 1; n < holds.size(); ++n) {
    each_row(c, rows_of, n, [&](std::uint32_t range, const char* row) {
      if (holds[n]) return;
      holds[n] = std::any_of(row + 1, row + 1 + c.pieces()[range].width(),
                             [&](char ch) { return residue[static_cast<unsigned char>(ch)] != 0; });
    });
  }
  return holds;
}

void save_occupancy(const std::string& path, const OutputSwitches& outputs, const Concatenation& c,
                    const std::vector<std::string>& names, const RowIndex& rows_of,
                    const std::vector<std::string>& pieces, SeqType type) {
  Writer out = create_output_file(path, outputs);
  out.write(kOccupancyTaxon);
  for (const std::string& piece : pieces) {
    out.put('\t');
    write_text(out, piece);
  }
  out.put('\t');
  out.write(kOccupancyTotals);
  out.put('\n');
  for (std::size_t n = 1; n < names.size(); ++n) {
    const std::vector<std::int64_t> counts = residues_by_piece(c, rows_of, n, type);
    write_text(out, names[n]);
    std::int64_t genes = 0;
    std::int64_t residues = 0;
    for (const std::int64_t count : counts) {
      out.put('\t');
      out.number(count);
      genes += count > 0 ? 1 : 0;
      residues += count;
    }
    out.put('\t');
    out.number(genes);
    out.put('\t');
    out.number(residues);
    out.put('\n');
  }
  out.close();
}

TaxaOverview taxa_overview(const Concatenation& c, const std::vector<std::string>& names,
                           const RowIndex& rows_of, SeqType type) {
  const std::int32_t nupo = c.length();
  const auto taxa = static_cast<std::int32_t>(names.size()) - 1;
  TaxaOverview view;
  OverviewOccupancy& map = view.occupancy;
  map.taxa = taxa;
  map.rows = occupancy_rows(taxa);
  map.columns = overview_columns(nupo);
  const std::vector<std::int32_t> column_ends = part_ends(nupo, map.columns);
  const std::vector<std::int32_t> row_ends = part_ends(taxa, map.rows);
  const ResidueStates& residue = residue_states(type);

  // Where each piece starts in the concatenation, and how many taxa have a row in it.
  const std::vector<Rows>& pieces = c.pieces();
  std::vector<std::int32_t> offset(pieces.size(), 0);
  for (std::size_t k = 1; k < pieces.size(); ++k) offset[k] = offset[k - 1] + pieces[k - 1].width();
  std::vector<std::int32_t> present(pieces.size(), 0);

  std::vector<std::int64_t> residues;  // per cell of the map
  allocating("overview", [&] {
    view.gaps.assign(static_cast<std::size_t>(nupo) + 1, 0);
    residues.assign(static_cast<std::size_t>(map.rows) * static_cast<std::size_t>(map.columns), 0);
    map.labels.resize(static_cast<std::size_t>(map.rows));
    map.row_share.assign(static_cast<std::size_t>(map.rows), 0.0f);
  });
  std::int32_t row = 0;
  std::vector<std::int64_t> row_residues(static_cast<std::size_t>(map.rows), 0);
  for (std::int32_t n = 1; n <= taxa; ++n) {
    while (row_ends[static_cast<std::size_t>(row)] < n) ++row;
    std::int64_t* cells =
        residues.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(map.columns);
    each_row(c, rows_of, static_cast<std::size_t>(n), [&](std::uint32_t range, const char* chars) {
      ++present[range];
      // Position first + i of the concatenation is character i of the row, from 1.
      const std::int32_t first = offset[range];
      const std::int32_t width = pieces[range].width();
      std::int32_t* gaps = view.gaps.data() + first;
      auto column = static_cast<std::size_t>(
          std::upper_bound(column_ends.begin(), column_ends.end(), first) - column_ends.begin());
      for (std::int32_t i = 1; i <= width;) {
        // The characters up to the end of this pixel column.
        const std::int32_t stop = std::min(width, column_ends[column] - first);
        std::int64_t count = 0;
        for (; i <= stop; ++i) {
          const auto ch = static_cast<unsigned char>(chars[i]);
          count += residue[ch] != 0 ? 1 : 0;
          gaps[i] += ch == '-' ? 1 : 0;
        }
        cells[column] += count;
        row_residues[static_cast<std::size_t>(row)] += count;
        ++column;
      }
    });
  }
  // A taxon missing from a piece is a gap at every position of it.
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const std::int32_t missing = taxa - present[k];
    for (std::int32_t i = 1; i <= pieces[k].width(); ++i)
      view.gaps[static_cast<std::size_t>(offset[k] + i)] += missing;
  }

  allocating("overview", [&] { map.share.resize(residues.size()); });
  std::int32_t first_taxon = 1;
  for (std::int32_t r = 0; r < map.rows; ++r) {
    const std::int32_t last_taxon = row_ends[static_cast<std::size_t>(r)];
    const std::int32_t in_row = last_taxon - first_taxon + 1;
    std::int32_t first_position = 1;
    for (std::int32_t col = 0; col < map.columns; ++col) {
      const std::int32_t last_position = column_ends[static_cast<std::size_t>(col)];
      const double cells = static_cast<double>(in_row) * (last_position - first_position + 1);
      const std::size_t at = static_cast<std::size_t>(r) * static_cast<std::size_t>(map.columns) +
                             static_cast<std::size_t>(col);
      map.share[at] =
          cells > 0 ? static_cast<float>(static_cast<double>(residues[at]) / cells) : 0.0f;
      first_position = last_position + 1;
    }
    std::string& label = map.labels[static_cast<std::size_t>(r)];
    label = names[static_cast<std::size_t>(first_taxon)];
    if (in_row > 1) {
      label += " to " + names[static_cast<std::size_t>(last_taxon)] + " (" +
               std::to_string(in_row) + " taxa)";
    }
    const double row_cells = static_cast<double>(in_row) * nupo;
    map.row_share[static_cast<std::size_t>(r)] =
        row_cells > 0
            ? static_cast<float>(static_cast<double>(row_residues[static_cast<std::size_t>(r)]) /
                                 row_cells)
            : 0.0f;
    first_taxon = last_taxon + 1;
  }
  return view;
}

}  // namespace selvane
