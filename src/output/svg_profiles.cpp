// The profile panels of the SVG overview: per-column areas, the thresholds, the exclusions.
#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "output/svg_format.h"
#include "output/svg_parts.h"

namespace selvane::svg {
namespace {

void put_panel_frame(std::string& out, double top, double height, std::string_view title,
                     std::string_view subtitle) {
  open_text(out, kLeft, top - 9);
  out += "<tspan font-weight=\"bold\">";
  out += title;
  out += "</tspan> ";
  out += subtitle;
  out += "</text>\n<g stroke=\"#DDD\">";
  for (const double f : {0.0, 0.25, 0.5, 0.75, 1.0}) {
    const double y = top + height * (1 - f);
    out += "<path d=\"M";
    put_number(out, kLeft);
    out += ',';
    put_number(out, y);
    out += "H";
    put_number(out, kRight);
    out += "\"/>";
  }
  out += "</g>\n<g font-size=\"10.5\" text-anchor=\"end\">";
  for (const auto& [f, label] : {std::pair{0.0, "0"}, {0.5, "0.5"}, {1.0, "1"}}) {
    open_text(out, kLeft - 6, top + height * (1 - f) + 4);
    out += label;
    out += "</text>";
  }
  out += "</g>\n";
}

void put_series(std::string& out, const std::vector<Column>& columns, const Scale& scale,
                double top, double height, double Column::*value, std::string_view colour,
                std::string_view title) {
  out += "<path fill=\"";
  out += colour;
  out += "\" d=\"";
  put_area(out, columns, scale, top, height, value);
  out += "\"><title>";
  out += title;
  out += "</title></path>\n";
}

// A threshold line (path data `d`) labelled at the right end of the profile.
void put_threshold(std::string& out, std::string_view d, double label_y, std::string_view colour,
                   std::string_view dash, std::string_view label, std::string_view title) {
  out += "<path fill=\"none\" stroke-width=\"1.6\" stroke=\"";
  out += colour;
  out += "\" stroke-dasharray=\"";
  out += dash;
  out += "\" d=\"";
  out += d;
  if (title.empty()) {
    out += "\"/>\n";
  } else {
    out += "\"><title>";
    out += title;
    out += "</title></path>\n";
  }
  open_text(out, kRight + 8, label_y + 4, "font-size=\"11.5\"");
  out += label;
  out += "</text>\n";
}

// "b1 ≥ 10 of 19"
std::string threshold_label(std::string_view key, std::int32_t value, std::int32_t numseq) {
  std::string label(key);
  label += " \xE2\x89\xA5 ";
  put_grouped(label, value);
  label += " of ";
  put_grouped(label, numseq);
  return label;
}

// b1 and b2 as horizontal lines at b1 / numseq and b2 / numseq.
void put_uniform_thresholds(std::string& out, const OverviewData& data, double top, double height) {
  const double n = std::max(data.numseq, 1);
  const double y1 = top + height * (1 - std::clamp(data.negval / n, 0.0, 1.0));
  const double y2 = top + height * (1 - std::clamp(data.flankval / n, 0.0, 1.0));
  const auto line = [](double y) {
    std::string d = "M";
    put_number(d, kLeft);
    d += ',';
    put_number(d, y);
    d += 'H';
    put_number(d, kRight);
    return d;
  };
  // b2 is never below b1; labels closer than a line apart are pushed apart.
  const double mid = (y1 + y2) / 2;
  const double half_gap = std::max((y1 - y2) / 2, 7.0);
  put_threshold(out, line(y2), mid - half_gap, kPurple, "2 3",
                threshold_label("b2", data.flankval, data.numseq), {});
  put_threshold(out, line(y1), mid + half_gap, "#000", "8 4",
                threshold_label("b1", data.negval, data.numseq), {});
}

// Each gene's b1 and b2 as fractions of its own sequences, one step per change; labelled with
// the values when every gene has the same, else as per gene (each band's title gives them).
void put_gene_thresholds(std::string& out, const OverviewData& data, const Scale& scale,
                         const std::vector<Column>& columns, double top, double height) {
  const OverviewGene& one = data.genes.front();
  const bool same = std::all_of(data.genes.begin(), data.genes.end(), [&](const OverviewGene& g) {
    return g.numseq == one.numseq && g.negval == one.negval && g.flankval == one.flankval;
  });
  const auto line = [&](double Column::*value) {
    std::string d;
    put_step_line(d, columns, scale, top, height, value);
    return d;
  };
  const double y1 = top + height * (1 - columns.back().b1);
  const double y2 = top + height * (1 - columns.back().b2);
  const double mid = (y1 + y2) / 2;
  const double half_gap = std::max((y1 - y2) / 2, 7.0);
  put_threshold(out, line(&Column::b2), mid - half_gap, kPurple, "2 3",
                same ? threshold_label("b2", one.flankval, one.numseq) : "b2 per gene",
                "b2 of each gene, as a fraction of its own sequences");
  put_threshold(out, line(&Column::b1), mid + half_gap, "#000", "8 4",
                same ? threshold_label("b1", one.negval, one.numseq) : "b1 per gene",
                "b1 of each gene, as a fraction of its own sequences");
}

// Hatching in the colours of the conservation profile, for the positions the gap policy
// excluded.
void put_hatching(std::string& out) {
  out += "<defs>";
  for (const auto& [id, colour] : {std::pair{"excluded-mean", kBlue}, {"excluded-max", kSkyBlue}}) {
    out += "<pattern id=\"";
    out += id;
    out +=
        "\" width=\"5\" height=\"5\" patternUnits=\"userSpaceOnUse\"><rect width=\"5\" "
        "height=\"5\" fill=\"";
    out += colour;
    out += "\" fill-opacity=\"0.18\"/><path d=\"M-1,1l2,-2M0,5l5,-5M4,6l2,-2\" stroke=\"";
    out += colour;
    out += "\" stroke-width=\"1.3\"/></pattern>";
  }
  out += "</defs>\n";
}

}  // namespace

bool put_conservation(std::string& out, const OverviewData& data, const Scale& scale,
                      const Layout& layout, const std::vector<Column>& columns,
                      const std::vector<Bar>& bars) {
  const double top = layout.conservation_top;
  const double height = Layout::kConservationHeight;
  put_panel_frame(out, top, height, "Conservation",
                  data.taxa ? "(conservation value as a fraction of each gene's sequences)"
                            : "(conservation value as a fraction of the sequences)");
  // The selected blocks, faintly behind the profile, to line them up with it.
  if (!bars.empty()) {
    out += "<path fill=\"#009E73\" fill-opacity=\"0.13\" d=\"";
    for (const Bar& bar : bars) {
      out += 'M';
      put_number(out, scale.x(bar.first));
      out += ',';
      put_number(out, top);
      out += 'H';
      put_number(out, std::max(scale.x(bar.last + 1), scale.x(bar.first) + 1));
      out += 'V';
      put_number(out, top + height);
      out += 'H';
      put_number(out, scale.x(bar.first));
      out += 'Z';
    }
    out += "\"/>\n";
  }
  // Positions excluded by the gap policy have no value in the selection; they are drawn
  // hatched with the value they would have had, under the profile of the kept positions.
  const bool hatched =
      std::any_of(columns.begin(), columns.end(), [](const Column& c) { return c.max_all > 0; });
  if (hatched) {
    put_hatching(out);
    if (scale.aggregated()) {
      put_series(out, columns, scale, top, height, &Column::max_all, "url(#excluded-max)",
                 "Conservation counting excluded positions, maximum per pixel column");
    }
    put_series(out, columns, scale, top, height, &Column::mean_all, "url(#excluded-mean)",
               scale.aggregated()
                   ? "Conservation counting excluded positions, mean per pixel column"
                   : "Conservation of excluded positions");
  }
  if (scale.aggregated()) {
    put_series(out, columns, scale, top, height, &Column::max_val, kSkyBlue,
               "Conservation, maximum per pixel column");
  }
  put_series(out, columns, scale, top, height, &Column::mean_val, kBlue,
             scale.aggregated() ? "Conservation, mean per pixel column" : "Conservation");
  if (per_gene_thresholds(data)) {
    put_gene_thresholds(out, data, scale, columns, top, height);
  } else {
    put_uniform_thresholds(out, data, top, height);
  }
  return hatched;
}

void put_gap_profile(std::string& out, const OverviewData& data, const Scale& scale,
                     const Layout& layout, const std::vector<Column>& columns) {
  const double top = layout.gaps_top;
  const double height = Layout::kGapsHeight;
  put_panel_frame(out, top, height, "Gaps",
                  data.taxa ? "(fraction of the taxa with a gap, a taxon missing from a gene "
                              "counting as gaps there)"
                            : "(fraction of the sequences with a gap)");
  if (scale.aggregated()) {
    put_series(out, columns, scale, top, height, &Column::max_gap, kLightOrange,
               "Gaps, maximum per pixel column");
  }
  put_series(out, columns, scale, top, height, &Column::mean_gap, kOrange,
             scale.aggregated() ? "Gaps, mean per pixel column" : "Gaps");

  // Columns holding an excluded position, one rectangle per run of them.
  const double y = layout.excluded_top;
  put_rect(out, kLeft, y, kPlotWidth, Layout::kExcludedHeight);
  out += " fill=\"#F2F2F2\"/>\n<path fill=\"";
  out += kVermillion;
  out += "\" d=\"";
  std::int64_t total = 0;
  for (std::size_t c = 0; c < columns.size();) {
    if (columns[c].excluded == 0) {
      ++c;
      continue;
    }
    const std::size_t start = c;
    for (; c < columns.size() && columns[c].excluded > 0; ++c) total += columns[c].excluded;
    out += 'M';
    put_number(out, kLeft + static_cast<double>(start) * scale.column_width);
    out += ',';
    put_number(out, y);
    out += 'H';
    put_number(out, kLeft + static_cast<double>(c) * scale.column_width);
    out += "v8H";
    put_number(out, kLeft + static_cast<double>(start) * scale.column_width);
    out += 'Z';
  }
  out += "\"><title>";
  put_count(out, total, " position", " positions");
  out += " excluded by the gap policy</title></path>\n";
  open_text(out, kLeft - 6, y + 8, "font-size=\"10.5\" text-anchor=\"end\"");
  out += "excluded</text>\n";
}

namespace {

// Appends a V segment at each change of the height (to a tenth of a pixel) from `previous` on,
// and the H segment that leads to it; ends at the right edge.
void put_steps(std::string& out, const std::vector<Column>& columns, const Scale& scale,
               double base, double height, double Column::*value, std::int64_t previous) {
  // A run of columns at the same height costs one H segment.
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const double y = base - columns[c].*value * height;
    const std::int64_t tenths = std::llround(y * 10.0);
    if (tenths != previous) {
      if (previous >= 0) {
        out += 'H';
        put_number(out, kLeft + static_cast<double>(c) * scale.column_width);
      }
      out += 'V';
      put_number(out, y);
      previous = tenths;
    }
  }
  out += 'H';
  put_number(out, kLeft + kPlotWidth);
}

}  // namespace

void put_area(std::string& out, const std::vector<Column>& columns, const Scale& scale, double top,
              double height, double Column::*value) {
  const double base = top + height;
  out += "M";
  put_number(out, kLeft);
  out += ',';
  put_number(out, base);
  put_steps(out, columns, scale, base, height, value, -1);
  out += 'V';
  put_number(out, base);
  out += 'Z';
}

void put_step_line(std::string& out, const std::vector<Column>& columns, const Scale& scale,
                   double top, double height, double Column::*value) {
  const double base = top + height;
  const double y = columns.empty() ? base : base - columns.front().*value * height;
  out += "M";
  put_number(out, kLeft);
  out += ',';
  put_number(out, y);
  put_steps(out, columns, scale, base, height, value, std::llround(y * 10.0));
}

}  // namespace selvane::svg
