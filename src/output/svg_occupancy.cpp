// The heat map of the taxa of a concatenation joined by taxon: one row per taxon (or group of
// taxa), one column per pixel column of the profiles, coloured by the share of its characters
// that are residues. It is drawn as one embedded image of palette indexes, so that its size is
// bounded by its pixels whatever the number of genes and taxa.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "output/png.h"
#include "output/svg_format.h"
#include "output/svg_parts.h"

namespace selvane::svg {
namespace {

// White for no residue, then ten shades of blue for shares up to 0.1, 0.2, ..., 1: a ramp of
// lightness alone, which every colour vision reads.
constexpr std::array<Rgb, 11> kRamp = {{{0xFF, 0xFF, 0xFF},
                                        {0xDE, 0xEB, 0xF7},
                                        {0xC6, 0xDB, 0xEF},
                                        {0x9E, 0xCA, 0xE1},
                                        {0x6B, 0xAE, 0xD6},
                                        {0x42, 0x92, 0xC6},
                                        {0x21, 0x71, 0xB5},
                                        {0x08, 0x51, 0x9C},
                                        {0x08, 0x45, 0x8A},
                                        {0x08, 0x3B, 0x7A},
                                        {0x08, 0x30, 0x6B}}};

std::uint8_t level(float share) {
  if (!(share > 0.0f)) return 0;
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::ceil(share * 10.0f)), 1, 10));
}

void put_colour(std::string& out, const Rgb& rgb) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '#';
  for (const std::uint8_t c : rgb) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
}

// The key of the colours at the right end of the panel's title line.
void put_ramp(std::string& out, double y) {
  double x = kRight - 11.0 * kRamp.size() - 120;
  open_text(out, x, y, "font-size=\"10.5\" text-anchor=\"end\"");
  out += "no residue</text>\n<g stroke=\"#BBB\" stroke-width=\"0.5\">";
  x += 4;
  for (std::size_t k = 0; k < kRamp.size(); ++k) {
    put_rect(out, x + 11.0 * static_cast<double>(k), y - 9, 10, 10);
    out += " fill=\"";
    put_colour(out, kRamp[k]);
    out += "\"/>";
  }
  out += "</g>\n";
  open_text(out, x + 11.0 * kRamp.size() + 4, y, "font-size=\"10.5\"");
  out += "residues everywhere</text>\n";
}

}  // namespace

void put_occupancy(std::string& out, const OverviewData& data, const Scale& scale,
                   const Layout& layout) {
  const OverviewOccupancy& map = *data.occupancy;
  const double top = layout.occupancy_top;
  const double row = layout.occupancy_row;
  open_text(out, kLeft, top - 9);
  out += "<tspan font-weight=\"bold\">Taxa</tspan> (";
  put_count(out, map.taxa, " taxon", " taxa");
  if (map.rows < map.taxa) {
    out += ", up to ";
    put_int(out, (map.taxa + map.rows - 1) / map.rows);
    out += " a row";
  }
  out += ": the share of their characters that are residues";
  if (scale.aggregated()) out += ", per pixel column";
  out += ")</text>\n";
  put_ramp(out, top - 9);

  // Drawn at the size it is shown, pixel for pixel, so that no viewer smooths one taxon into the
  // next; the repeated pixels cost next to nothing once compressed.
  const auto width = static_cast<std::size_t>(kPlotWidth);
  const auto height = static_cast<std::size_t>(layout.occupancy_height);
  std::vector<std::uint8_t> pixels(width * height);
  for (std::size_t y = 0; y < height; ++y) {
    const std::size_t r = y / static_cast<std::size_t>(layout.occupancy_row);
    const float* shares = map.share.data() + r * static_cast<std::size_t>(map.columns);
    std::uint8_t* line = pixels.data() + y * width;
    for (std::size_t x = 0; x < width; ++x) {
      line[x] = level(shares[x * static_cast<std::size_t>(map.columns) / width]);
    }
  }
  const std::string png = encode_png(kPlotWidth, static_cast<std::int32_t>(height), pixels, kRamp);
  out += "<image x=\"";
  put_number(out, kLeft);
  out += "\" y=\"";
  put_number(out, top);
  out += "\" width=\"";
  put_int(out, kPlotWidth);
  out += "\" height=\"";
  put_number(out, layout.occupancy_height);
  out +=
      "\" style=\"image-rendering:pixelated\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "xlink:href=\"data:image/png;base64,";
  out += base64(png);
  out += "\"/>\n";
  put_rect(out, kLeft, top, kPlotWidth, layout.occupancy_height);
  out += " fill=\"none\" stroke=\"#BBB\" stroke-width=\"0.5\"/>\n";

  // A title for each row, and its name beside it where the rows are tall enough.
  const bool named = layout.occupancy_row >= 8;
  const double font = std::min(11.0, row - 1);
  out += "<g fill-opacity=\"0\">\n";
  for (std::int32_t r = 0; r < map.rows; ++r) {
    put_rect(out, kLeft, top + row * r, kPlotWidth, row);
    out += "><title>";
    put_text(out, map.labels[static_cast<std::size_t>(r)]);
    out += ": residues at ";
    put_number(out, 100.0 * map.row_share[static_cast<std::size_t>(r)], 1);
    out += " % of the positions</title></rect>\n";
  }
  out += "</g>\n";
  if (!named) return;
  std::string size;
  put_number(size, font, 1);
  out += "<g font-size=\"" + size + "\">";
  for (std::int32_t r = 0; r < map.rows; ++r) {
    open_text(out, kRight + 6, top + row * (r + 1) - (row - font) / 2 - 1);
    const std::string& label = map.labels[static_cast<std::size_t>(r)];
    // Cut at a character boundary: the right margin holds about 20 characters.
    std::size_t cut = 0;
    for (std::size_t chars = 0; cut < label.size() && chars < 20; ++chars) {
      ++cut;
      while (cut < label.size() && (static_cast<unsigned char>(label[cut]) & 0xC0) == 0x80) ++cut;
    }
    put_text(out, std::string_view(label).substr(0, cut));
    if (cut < label.size()) out += "\xE2\x80\xA6";
    out += "</text>";
  }
  out += "</g>\n";
}

}  // namespace selvane::svg
