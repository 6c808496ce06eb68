// The SVG overview: profiles aggregated per pixel column, the blocks as merged titled bars, so
// that the drawing and the file stay the same size from 10 to 10^6 positions.
#include "output/svg.h"

#include <algorithm>
#include <array>

#include "output/svg_format.h"
#include "output/svg_parts.h"

namespace selvane {

std::vector<std::int32_t> count_gaps(const Alignment& aln) {
  std::vector<std::int32_t> gaps(static_cast<std::size_t>(aln.nupo) + 1, 0);
  // Positions are counted a tile at a time, so that their counts stay in cache while every row
  // passes over them. Readers store every gap as '-'; a plain comparison lets the compiler
  // count many positions at once, which a table lookup would not.
  constexpr std::int32_t kTile = 4096;
  std::int32_t* counts = gaps.data();
  for (std::int32_t p0 = 1; p0 <= aln.nupo; p0 += kTile) {
    const std::int32_t end = p0 + std::min(kTile, aln.nupo - p0 + 1);
    for (std::int32_t s = 1; s <= aln.numseq; ++s) {
      const char* row = aln.let.row(s);
      for (std::int32_t p = p0; p < end; ++p) counts[p] += row[p] == '-' ? 1 : 0;
    }
  }
  return gaps;
}

OverviewShare OverviewCounts::share(std::size_t p) const {
  const float per_sequence = 1.0f / static_cast<float>(std::max(numseq, 1));
  const bool excluded = gaps[p] > max_scored_gaps;
  const float value = excluded ? (excluded_val.empty() ? 0.0f : excluded_val[p]) : val[p];
  return {value * per_sequence, static_cast<float>(gaps[p]) * per_sequence, excluded};
}

std::vector<OverviewShare> overview_shares(const OverviewCounts& counts, std::int32_t nupo) {
  std::vector<OverviewShare> shares(static_cast<std::size_t>(nupo) + 1);
  for (std::size_t p = 1; p < shares.size(); ++p) shares[p] = counts.share(p);
  return shares;
}

std::int32_t overview_columns(std::int32_t nupo) {
  return std::min(std::max(nupo, 1), kPlotWidth);
}

std::int32_t occupancy_rows(std::int32_t taxa) {
  return std::min(std::max(taxa, 0), kOccupancyRows);
}

std::int64_t tick_step(std::int32_t nupo) {
  constexpr std::int64_t kMaxTicks = 12;
  for (std::int64_t decade = 1;; decade *= 10) {
    for (const std::int64_t factor : {1, 2, 5}) {
      if (nupo / (decade * factor) <= kMaxTicks) return decade * factor;
    }
  }
}

namespace svg {

Scale::Scale(std::int32_t nupo_in)
    : nupo(std::max(nupo_in, 1)),
      columns(overview_columns(nupo)),
      column_width(static_cast<double>(kPlotWidth) / columns) {}

double Scale::x(std::int64_t p) const {
  return kLeft + static_cast<double>(p - 1) * kPlotWidth / nupo;
}

namespace {

// Fills `col` from positions first..last.
void fill_column(Column& col, std::int64_t first, std::int64_t last,
                 std::span<const OverviewShare> shares) {
  double val_sum = 0.0, gap_sum = 0.0, all_sum = 0.0;
  float val_max = 0.0f, gap_max = 0.0f, all_max = 0.0f;
  std::int32_t excluded = 0;
  for (std::int64_t p = first; p <= last; ++p) {
    const OverviewShare& s = shares[static_cast<std::size_t>(p)];
    // The value of an excluded position counts only among all the values.
    const float val = s.excluded ? 0.0f : s.val;
    val_sum += val;
    val_max = std::max(val_max, val);
    gap_sum += s.gaps;
    gap_max = std::max(gap_max, s.gaps);
    excluded += s.excluded ? 1 : 0;
    all_sum += s.val;
    all_max = std::max(all_max, s.val);
  }
  const double count = static_cast<double>(last - first + 1);
  col.mean_val = std::clamp(val_sum / count, 0.0, 1.0);
  col.max_val = std::clamp<double>(val_max, 0.0, 1.0);
  col.mean_gap = std::clamp(gap_sum / count, 0.0, 1.0);
  col.max_gap = std::clamp<double>(gap_max, 0.0, 1.0);
  col.excluded = excluded;
  if (excluded > 0) {
    col.mean_all = std::clamp(all_sum / count, 0.0, 1.0);
    col.max_all = std::clamp<double>(all_max, 0.0, 1.0);
  }
}

// b1 and b2 of the genes that column `col` (positions first..last) covers, weighted by the
// positions each covers; `gene` is the first gene that may reach it, moved on as columns pass.
void fill_thresholds(Column& col, std::int64_t first, std::int64_t last,
                     const std::vector<OverviewGene>& genes, std::size_t& gene) {
  while (gene < genes.size() && genes[gene].last < first) ++gene;
  double covered = 0.0, b1 = 0.0, b2 = 0.0;
  for (std::size_t k = gene; k < genes.size() && genes[k].first <= last; ++k) {
    const auto overlap = static_cast<double>(std::min<std::int64_t>(last, genes[k].last) -
                                             std::max<std::int64_t>(first, genes[k].first) + 1);
    if (overlap <= 0 || genes[k].numseq < 1) continue;
    const double n = genes[k].numseq;
    covered += overlap;
    b1 += overlap * genes[k].negval / n;
    b2 += overlap * genes[k].flankval / n;
  }
  if (covered > 0) {
    col.b1 = std::clamp(b1 / covered, 0.0, 1.0);
    col.b2 = std::clamp(b2 / covered, 0.0, 1.0);
  }
}

}  // namespace

bool per_gene_thresholds(const OverviewData& data) {
  return std::any_of(data.genes.begin(), data.genes.end(), [&](const OverviewGene& g) {
    return g.numseq > 0 &&
           (g.numseq != data.numseq || g.negval != data.negval || g.flankval != data.flankval);
  });
}

std::vector<Column> aggregate(const OverviewData& data, const Scale& scale) {
  std::vector<Column> columns(static_cast<std::size_t>(scale.columns));
  const bool has_shares = data.shares.size() > static_cast<std::size_t>(data.nupo);
  const bool per_gene = per_gene_thresholds(data);
  std::int64_t first = 1;
  std::size_t gene = 0;
  for (std::int32_t c = 0; c < scale.columns; ++c) {
    // Column c covers the positions up to floor((c + 1) * nupo / columns).
    const std::int64_t last = (std::int64_t{c} + 1) * data.nupo / scale.columns;
    if (last < first) continue;  // only when nupo is 0
    Column& col = columns[static_cast<std::size_t>(c)];
    if (has_shares) fill_column(col, first, last, data.shares);
    if (per_gene) fill_thresholds(col, first, last, data.genes, gene);
    first = last + 1;
  }
  return columns;
}

std::vector<Bar> merge_blocks(const OverviewData& data, const Scale& scale) {
  std::vector<Bar> bars;
  for (std::int32_t k = 1; k <= static_cast<std::int64_t>(data.blocks.size()); ++k) {
    const std::int64_t first = data.blocks[static_cast<std::size_t>(k - 1)].first;
    const std::int64_t last = data.blocks[static_cast<std::size_t>(k - 1)].last;
    if (last < first || first < 1 || last > data.nupo) continue;
    // Blocks that touch (as in a concatenation of blocks) stay apart while both are wide
    // enough to show the white pixel put between them.
    const auto wide = [&](std::int64_t from, std::int64_t to) {
      return scale.x(to + 1) - scale.x(from) >= 3.0;
    };
    if (!bars.empty() && scale.x(first) - scale.x(bars.back().last + 1) < 1.0 &&
        !(wide(bars.back().first, bars.back().last) && wide(first, last))) {
      Bar& bar = bars.back();
      bar.k_last = k;
      bar.last = last;
      bar.selected += last - first + 1;
    } else {
      bars.push_back({k, k, first, last, last - first + 1});
    }
  }
  return bars;
}

Layout::Layout(const OverviewData& data)
    : genes(!data.genes.empty() || !data.empty_genes.empty()),
      empty_genes(!data.empty_genes.empty()),
      conservation(data.shares.size() > static_cast<std::size_t>(data.nupo)),
      gaps(conservation) {
  const auto rows = static_cast<double>((data.parameters.size() + 2) / 3);
  parameters_y = 76;
  double y = parameters_y + kParameterRow * std::max(rows - 1, 0.0) + 6;
  if (genes) {
    genes_top = y + (empty_genes ? 14 : 8);  // room for the marks of genes without positions
    y = genes_top + kGenesHeight;
  }
  if (data.occupancy != nullptr && data.occupancy->rows > 0) {
    occupancy = true;
    occupancy_row =
        std::clamp(static_cast<std::int32_t>(kOccupancyHeight) / data.occupancy->rows, 1, 12);
    occupancy_height = static_cast<double>(occupancy_row) * data.occupancy->rows;
    occupancy_top = y + 30;
    y = occupancy_top + occupancy_height;
  }
  if (conservation) {
    conservation_top = y + 30;
    y = conservation_top + kConservationHeight;
  }
  if (gaps) {
    gaps_top = y + 30;
    excluded_top = gaps_top + kGapsHeight + 10;
    y = excluded_top + kExcludedHeight;
  }
  blocks_top = y + 14;
  axis_y = blocks_top + kBlocksHeight + 6;
  legend_y = axis_y + 66;
}

}  // namespace svg

std::string render_svg(const OverviewData& data) {
  using namespace svg;
  const Scale scale(data.nupo);
  const Layout layout(data);
  const std::vector<Column> columns = aggregate(data, scale);
  const std::vector<Bar> bars = merge_blocks(data, scale);

  // The body first: the legend and the key of the genes decide the height.
  std::string body;
  // The profiles take about 30 bytes a column each, a titled bar about 150.
  body.reserve(16384 + columns.size() * 240 + bars.size() * 320 + data.genes.size() * 160);
  const double height = put_body(body, data, scale, layout, columns, bars);

  std::string out;
  out.reserve(body.size() + 1024);
  out +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
  put_int(out, kOverviewWidth);
  out += "\" height=\"";
  put_number(out, height, 0);
  out += "\" viewBox=\"0 0 ";
  put_int(out, kOverviewWidth);
  out += ' ';
  put_number(out, height, 0);
  out +=
      "\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\" font-size=\"12\" "
      "fill=\"#222\">\n<title>Overview of ";
  put_text(out, data.file_name);
  out += "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
  out += body;
  out += "</svg>\n";
  return out;
}

}  // namespace selvane
