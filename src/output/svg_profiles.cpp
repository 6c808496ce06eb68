// The profile panels of the SVG overview: per-column areas, the thresholds, the exclusions.
#include <algorithm>
#include <cmath>
#include <string_view>

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

void put_threshold(std::string& out, double y, double label_y, std::string_view colour,
                   std::string_view dash, std::string_view label, std::int32_t value,
                   std::int32_t numseq) {
  out += "<path fill=\"none\" stroke-width=\"1.6\" stroke=\"";
  out += colour;
  out += "\" stroke-dasharray=\"";
  out += dash;
  out += "\" d=\"M";
  put_number(out, kLeft);
  out += ',';
  put_number(out, y);
  out += 'H';
  put_number(out, kRight);
  out += "\"/>\n";
  open_text(out, kRight + 8, label_y + 4, "font-size=\"11.5\"");
  out += label;
  put_grouped(out, value);
  out += " of ";
  put_grouped(out, numseq);
  out += "</text>\n";
}

}  // namespace

void put_conservation(std::string& out, const OverviewData& data, const Scale& scale,
                      const Layout& layout, const std::vector<Column>& columns,
                      const std::vector<Bar>& bars) {
  const double top = layout.conservation_top;
  const double height = Layout::kConservationHeight;
  put_panel_frame(out, top, height, "Conservation",
                  "(conservation value as a fraction of the sequences)");
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
  if (scale.aggregated()) {
    put_series(out, columns, scale, top, height, &Column::max_val, kSkyBlue,
               "Conservation, maximum per pixel column");
  }
  put_series(out, columns, scale, top, height, &Column::mean_val, kBlue,
             scale.aggregated() ? "Conservation, mean per pixel column" : "Conservation");

  const double n = std::max(data.numseq, 1);
  const double y1 = top + height * (1 - std::clamp(data.negval / n, 0.0, 1.0));
  const double y2 = top + height * (1 - std::clamp(data.flankval / n, 0.0, 1.0));
  // b2 is never below b1; labels closer than a line apart are pushed apart.
  const double mid = (y1 + y2) / 2;
  const double half_gap = std::max((y1 - y2) / 2, 7.0);
  put_threshold(out, y2, mid - half_gap, kPurple, "2 3", "b2 \xE2\x89\xA5 ", data.flankval,
                data.numseq);
  put_threshold(out, y1, mid + half_gap, "#000", "8 4", "b1 \xE2\x89\xA5 ", data.negval,
                data.numseq);
}

void put_gap_profile(std::string& out, const Scale& scale, const Layout& layout,
                     const std::vector<Column>& columns) {
  const double top = layout.gaps_top;
  const double height = Layout::kGapsHeight;
  put_panel_frame(out, top, height, "Gaps", "(fraction of the sequences with a gap)");
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

void put_area(std::string& out, const std::vector<Column>& columns, const Scale& scale, double top,
              double height, double Column::*value) {
  const double base = top + height;
  out += "M";
  put_number(out, kLeft);
  out += ',';
  put_number(out, base);
  // A run of columns at the same height costs one H segment.
  std::int64_t previous = -1;
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
  out += 'V';
  put_number(out, base);
  out += 'Z';
}

}  // namespace selvane::svg
