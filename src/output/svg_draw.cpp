// The parts of the SVG overview, top to bottom. Colours come from the Okabe-Ito palette, which
// stays distinct under the common colour-vision deficiencies; no meaning rests on red against
// green alone, and every series is also named in the legend or a label.
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "output/svg_format.h"
#include "output/svg_parts.h"

namespace selvane::svg {
namespace {

void put_heading(std::string& out, const OverviewData& data, const Layout& layout) {
  open_text(out, 24, 30, "font-size=\"19\" font-weight=\"bold\"");
  out += "Overview of ";
  put_text(out, data.file_name);
  out += "</text>\n";
  open_text(out, 24, 53, "font-size=\"13.5\"");
  put_text(out, data.type_label);
  out += " \xC2\xB7 ";
  if (data.taxa) {
    put_count(out, data.numseq, " taxon", " taxa");
  } else {
    put_count(out, data.numseq, " sequence", " sequences");
  }
  out += " \xC2\xB7 ";
  put_count(out, data.nupo, " position", " positions");
  out += " \xC2\xB7 <tspan font-weight=\"bold\">";
  const std::int64_t selected = positions_in(data.blocks);
  put_count(out, selected, " position", " positions");
  out += " selected (";
  put_int(out, percent_of(selected, data.nupo));
  out += " %)</tspan> in ";
  put_count(out, static_cast<std::int64_t>(data.blocks.size()), " block", " blocks");
  out += "</text>\n";

  const std::size_t rows = (data.parameters.size() + 2) / 3;
  for (std::size_t i = 0; i < data.parameters.size(); ++i) {
    const OverviewParameter& p = data.parameters[i];
    open_text(out, 24 + 520 * static_cast<double>(i / rows),
              layout.parameters_y + Layout::kParameterRow * static_cast<double>(i % rows),
              "font-size=\"11.5\"");
    out += "<tspan font-weight=\"bold\">";
    put_text(out, p.key);
    out += "</tspan> ";
    put_text(out, p.name);
    out += ": <tspan font-weight=\"bold\">";
    put_text(out, p.value);
    out += "</tspan></text>\n";
  }
}

void put_stretch(std::string& out, const Scale& scale, double top, std::int64_t first,
                 std::int64_t last) {
  put_rect(out, scale.x(first), top + 6, scale.x(last + 1) - scale.x(first), 6);
  out += "><title>";
  put_title(out, "Not selected: positions ", first, last, " (");
  put_count(out, last - first + 1, " position)", " positions)");
  out += "</title></rect>\n";
}

void put_blocks(std::string& out, const OverviewData& data, const Scale& scale,
                const Layout& layout, const std::vector<Bar>& bars) {
  const double top = layout.blocks_top;
  open_text(out, kLeft - 6, top + 13, "font-size=\"12\" text-anchor=\"end\"");
  out += "Blocks</text>\n<g fill=\"";
  out += kGrey;
  out += "\">\n";
  std::int64_t done = 0;  // last position drawn
  for (const Bar& bar : bars) {
    if (bar.first > done + 1) put_stretch(out, scale, top, done + 1, bar.first - 1);
    done = bar.last;
  }
  if (data.nupo > done) put_stretch(out, scale, top, done + 1, data.nupo);
  out += "</g>\n<g fill=\"";
  out += kGreen;
  out += "\">\n";
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const Bar& bar = bars[i];
    const double x = scale.x(bar.first);
    const std::int64_t span = bar.last - bar.first + 1;
    const bool touching = i + 1 < bars.size() && bars[i + 1].first == bar.last + 1;
    put_rect(out, x, top, std::max(scale.x(bar.last + 1) - x - (touching ? 1 : 0), 1.0),
             Layout::kBlocksHeight);
    if (bar.k_first == bar.k_last) {
      out += "><title>Block ";
      put_int(out, bar.k_first);
      put_title(out, ": positions ", bar.first, bar.last, " (");
      put_count(out, span, " position)", " positions)");
    } else {
      // Blocks joined into one bar: the share of selected positions shows as its opacity.
      out += " fill-opacity=\"";
      put_number(out, 0.35 + 0.65 * static_cast<double>(bar.selected) / static_cast<double>(span),
                 2);
      out += "\"><title>Blocks ";
      put_int(out, bar.k_first);
      out += "\xE2\x80\x93";
      put_int(out, bar.k_last);
      put_title(out, ": positions ", bar.first, bar.last, ", ");
      put_grouped(out, bar.selected);
      out += " of ";
      put_count(out, span, " position selected", " positions selected");
    }
    out += "</title></rect>\n";
  }
  out += "</g>\n";
}

void put_axis(std::string& out, const Scale& scale, const Layout& layout) {
  const double y = layout.axis_y;
  const std::int64_t step = tick_step(scale.nupo);
  const double half = 0.5 * kPlotWidth / scale.nupo;  // ticks mark a position's centre
  out += "<path fill=\"none\" stroke=\"#222\" d=\"M";
  put_number(out, kLeft);
  out += ',';
  put_number(out, y);
  out += 'H';
  put_number(out, kRight);
  const double first_tick = scale.x(step) + half;
  const bool label_one = step > 1 && first_tick - (kLeft + half) >= 40;
  if (label_one) {
    out += 'M';
    put_number(out, kLeft + half);
    out += ',';
    put_number(out, y);
    out += "v5";
  }
  for (std::int64_t p = step; p <= scale.nupo; p += step) {
    out += 'M';
    put_number(out, scale.x(p) + half);
    out += ',';
    put_number(out, y);
    out += "v5";
  }
  out += "\"/>\n<g font-size=\"11\" text-anchor=\"middle\">";
  if (label_one) {
    open_text(out, kLeft + half, y + 18);
    out += "1</text>";
  }
  for (std::int64_t p = step; p <= scale.nupo; p += step) {
    open_text(out, scale.x(p) + half, y + 18);
    put_grouped(out, p);
    out += "</text>";
  }
  out += "</g>\n";
  open_text(out, kLeft + kPlotWidth / 2.0, y + 38, "text-anchor=\"middle\"");
  out += "Alignment position";
  if (scale.aggregated()) {
    out += " (one pixel column: mean and maximum of up to ";
    put_grouped(out, (scale.nupo + scale.columns - 1) / scale.columns);
    out += " positions)";
  }
  out += "</text>\n";
}

// The legend, on as many rows as it takes; returns the baseline of the last row.
double put_legend(std::string& out, const Scale& scale, const Layout& layout,
                  bool excluded_conservation) {
  struct Item {
    std::string_view colour;
    std::string_view label;
    bool shown;
    std::string_view dash = {};  // a threshold line instead of a swatch
    bool triangle = false;       // the mark of a gene without positions instead of a swatch
  };
  const bool agg = scale.aggregated();
  const Item items[] = {
      {kBlue, agg ? "Conservation, mean" : "Conservation", layout.conservation},
      {kSkyBlue, "Conservation, maximum", layout.conservation && agg},
      {"url(#excluded-mean)", "Conservation of excluded positions", excluded_conservation},
      {kOrange, agg ? "Gaps, mean" : "Gaps", layout.gaps},
      {kLightOrange, "Gaps, maximum", layout.gaps && agg},
      {kVermillion, "Excluded by the gap policy (b5)", layout.gaps},
      {kGreen, "Selected block", true},
      {kGrey, "Not selected", true},
      {kVermillion, "Gene without selected positions", layout.empty_genes, {}, true},
      {"#000", "b1 threshold (conserved)", layout.conservation, "8 4"},
      {kPurple, "b2 threshold (flank)", layout.conservation, "2 3"},
  };
  double x = kLeft;
  double y = layout.legend_y;
  out += "<g font-size=\"11.5\">";
  for (const Item& item : items) {
    if (!item.shown) continue;
    if (x + 19 + text_width(item.label, 11.5) > kOverviewWidth - 16) {
      x = kLeft;
      y += 18;
    }
    if (item.triangle) {
      out += "<path fill=\"";
      out += item.colour;
      out += "\" d=\"M";
      put_number(out, x + 2);
      out += ',';
      put_number(out, y - 9);
      out += "h10l-5,8Z\"/>";
    } else if (item.dash.empty()) {
      put_rect(out, x, y - 9, 14, 10);
      out += " fill=\"";
      out += item.colour;
      out += "\"/>";
    } else {
      out += "<path fill=\"none\" stroke-width=\"1.6\" stroke=\"";
      out += item.colour;
      out += "\" stroke-dasharray=\"";
      out += item.dash;
      out += "\" d=\"M";
      put_number(out, x - 4);
      out += ',';
      put_number(out, y - 4);
      out += "h22\"/>";
      x += 4;
    }
    open_text(out, x + 19, y);
    out += item.label;
    out += "</text>";
    x += 19 + text_width(item.label, 11.5) + 22;
  }
  out += "</g>\n";
  return y;
}

}  // namespace

double put_body(std::string& out, const OverviewData& data, const Scale& scale,
                const Layout& layout, const std::vector<Column>& columns,
                const std::vector<Bar>& bars) {
  put_heading(out, data, layout);
  std::string gene_lines;
  std::vector<std::string> key;
  if (layout.genes) put_genes(out, data, scale, layout, gene_lines, key);
  if (layout.occupancy) put_occupancy(out, data, scale, layout);
  const bool hatched =
      layout.conservation && put_conservation(out, data, scale, layout, columns, bars);
  if (layout.gaps) put_gap_profile(out, data, scale, layout, columns);
  put_blocks(out, data, scale, layout, bars);
  if (!gene_lines.empty()) {
    out += "<path fill=\"none\" stroke=\"#222\" stroke-dasharray=\"4 3\" d=\"";
    out += gene_lines;
    out += "\"><title>Gene boundaries</title></path>\n";
  }
  put_axis(out, scale, layout);
  double y = put_legend(out, scale, layout, hatched);
  if (!key.empty()) y = put_gene_key(out, key, y + 24);
  return y + 22;
}

}  // namespace selvane::svg
