// The genes of a concatenation in the SVG overview: a band over each, named where the name
// fits, and under the drawing a short key of the genes too narrow to be named in place.
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "output/svg_format.h"
#include "output/svg_parts.h"

namespace selvane::svg {
namespace {

// Lines of "[number] name (positions)" entries, as many as fit on kLines lines of the drawing's
// width; the entries beyond them are counted, so a batch of 10,000 genes keeps a short key.
class GeneKey {
 public:
  static constexpr std::size_t kLines = 3;
  static constexpr double kFont = 11.5;

  void add(std::int64_t number, std::string_view name, std::int64_t first, std::int64_t last) {
    if (full_) {
      ++omitted_;
      return;
    }
    std::string number_text, detail = " (";
    if (number > 0) put_int(number_text, number);
    if (last < first) {
      detail += "no position selected)";
    } else {
      put_range(detail, first, last);
      detail += ')';
    }
    // A very long name is shortened, at a character boundary.
    std::size_t cut = name.size();
    if (text_width(name, kFont) > 320) {
      cut = 0;
      for (std::size_t chars = 0; cut < name.size() && chars < 48; ++chars) {
        ++cut;
        while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) ++cut;
      }
    }
    const std::string_view shown = name.substr(0, cut);
    const std::string_view ellipsis = cut < name.size() ? "\xE2\x80\xA6" : "";
    const double width = text_width(number_text, kFont) + 2 * kFont * 0.58 +
                         text_width(shown, kFont) + text_width(ellipsis, kFont) +
                         text_width(detail, kFont) + 28;
    // The last line keeps room for the count of the entries left out.
    const double room = lines_.size() == kLines ? kAvailable - 360 : kAvailable;
    if (lines_.empty() || used_ + width > room) {
      if (lines_.size() == kLines) {
        full_ = true;
        ++omitted_;
        return;
      }
      lines_.emplace_back(lines_.empty()
                              ? "<tspan font-weight=\"bold\">Genes not named above:</tspan>"
                              : std::string());
      used_ = lines_.size() == 1 ? text_width("Genes not named above: ", kFont) : 0;
    }
    std::string& line = lines_.back();
    if (!line.empty()) line += "   ";
    if (number > 0) {
      line += "<tspan font-weight=\"bold\">[";
      line += number_text;
      line += "]</tspan> ";
    }
    put_text(line, shown);
    line += ellipsis;
    line += detail;
    used_ += width;
  }

  // The lines, the last one ending with the count of the entries left out.
  std::vector<std::string> finish() {
    if (omitted_ > 0 && !lines_.empty()) {
      lines_.back() += "   \xE2\x80\xA6 and ";
      put_count(lines_.back(), omitted_, " more gene", " more genes");
      lines_.back() += " (see the titles of the bands)";
    }
    return std::move(lines_);
  }

 private:
  static constexpr double kAvailable = kOverviewWidth - kLeft - 24;
  std::vector<std::string> lines_;
  double used_ = 0;
  bool full_ = false;
  std::int64_t omitted_ = 0;
};

// Genes that gave no position: a triangle at the boundary where each would have started, one
// for the genes within two pixels of each other, its title naming the first few of them.
void put_empty_genes(std::string& out, const OverviewData& data, const Scale& scale, double top) {
  constexpr std::size_t kNamed = 5;
  out += "<g fill=\"";
  out += kVermillion;
  out += "\">\n";
  const std::vector<OverviewGene>& empty = data.empty_genes;
  for (std::size_t i = 0; i < empty.size();) {
    const double x = scale.x(std::clamp<std::int64_t>(empty[i].first, 1, scale.nupo + 1));
    std::size_t end = i + 1;
    while (end < empty.size() &&
           scale.x(std::clamp<std::int64_t>(empty[end].first, 1, scale.nupo + 1)) - x < 2.0) {
      ++end;
    }
    out += "<path d=\"M";
    put_number(out, x - 5);
    out += ',';
    put_number(out, top - 7);
    out += "h10l-5,8Z\"><title>";
    out += end - i == 1 ? "Gene " : "Genes ";
    for (std::size_t k = i; k < end && k < i + kNamed; ++k) {
      if (k > i) out += ", ";
      put_text(out, empty[k].name);
    }
    if (end - i > kNamed) {
      out += " and ";
      put_grouped(out, static_cast<std::int64_t>(end - i - kNamed));
      out += " more";
    }
    out += ": no position selected</title></path>\n";
    i = end;
  }
  out += "</g>\n";
}

// "; b1 ≥ 2 and b2 ≥ 3 of 3 sequences" for genes first..last - 1, with ranges where they
// differ.
void put_threshold_title(std::string& out, const std::vector<OverviewGene>& genes,
                         std::size_t first, std::size_t last) {
  const auto range = [&](std::int32_t OverviewGene::*value) {
    const auto [lo, hi] = std::minmax_element(
        genes.begin() + static_cast<std::ptrdiff_t>(first),
        genes.begin() + static_cast<std::ptrdiff_t>(last),
        [&](const OverviewGene& a, const OverviewGene& b) { return a.*value < b.*value; });
    put_range(out, (*lo).*value, (*hi).*value);
  };
  out += "; b1 \xE2\x89\xA5 ";
  range(&OverviewGene::negval);
  out += " and b2 \xE2\x89\xA5 ";
  range(&OverviewGene::flankval);
  out += " of ";
  range(&OverviewGene::numseq);
  out += " sequences";
}

}  // namespace

constexpr std::size_t kMaxBoundaryLines = 100;

// Genes narrower than two pixels are joined with the next, so the bands stay countable. The
// boundary lines skip the gaps between the parts so that no line crosses a panel's title.
void put_genes(std::string& out, const OverviewData& data, const Scale& scale, const Layout& layout,
               std::string& lines, std::vector<std::string>& key) {
  const double top = layout.genes_top;
  const bool per_gene = per_gene_thresholds(data);
  // Past a hundred genes, lines across the profiles would hide them; the alternating shades of
  // the gene strip then mark the boundaries alone.
  const bool across = data.genes.size() <= kMaxBoundaryLines;
  std::vector<std::pair<double, double>> spans{{top, top + Layout::kGenesHeight}};
  if (layout.occupancy) {
    spans.emplace_back(layout.occupancy_top, layout.occupancy_top + layout.occupancy_height);
  }
  if (layout.conservation) {
    spans.emplace_back(layout.conservation_top,
                       layout.conservation_top + Layout::kConservationHeight);
  }
  if (layout.gaps) {
    spans.emplace_back(layout.gaps_top, layout.excluded_top + Layout::kExcludedHeight);
  }
  spans.emplace_back(layout.blocks_top, layout.blocks_top + Layout::kBlocksHeight);

  GeneKey unnamed;
  out += "<g stroke=\"#fff\">\n";
  int shade = 0;
  for (std::size_t i = 0; i < data.genes.size();) {
    const std::size_t start = i;
    const std::int64_t first = std::max(data.genes[i].first, 1);
    if (first > data.nupo) break;
    std::int64_t last = first;
    for (; i < data.genes.size(); ++i) {
      last = std::clamp<std::int64_t>(data.genes[i].last, first, data.nupo);
      if (scale.x(last + 1) - scale.x(first) >= 2.0) {
        ++i;
        break;
      }
    }
    const double x0 = scale.x(first);
    const double width = scale.x(last + 1) - x0;
    put_rect(out, x0, top, width, Layout::kGenesHeight);
    out += shade++ % 2 == 0 ? " fill=\"#E4E4E4\"" : " fill=\"#CFCFCF\"";
    const OverviewGene& gene = data.genes[start];
    if (i - start == 1) {
      out += "><title>Gene ";
      put_text(out, gene.name);
      put_title(out, ": positions ", first, last);
    } else {
      out += "><title>Genes ";
      put_text(out, gene.name);
      out += " to ";
      put_text(out, data.genes[i - 1].name);
      out += " (";
      put_grouped(out, static_cast<std::int64_t>(i - start));
      put_title(out, " genes): positions ", first, last);
    }
    if (per_gene) put_threshold_title(out, data.genes, start, i);
    out += "</title></rect>\n";

    // A gene whose name does not fit shows its number, when that fits, and goes into the key.
    std::string number;
    put_int(number, static_cast<std::int64_t>(start + 1));
    const double middle = x0 + width / 2;
    if (i - start == 1 && text_width(gene.name, 11) + 6 < width) {
      open_text(out, middle, top + 13, "font-size=\"11\" text-anchor=\"middle\" stroke=\"none\"");
      put_text(out, gene.name);
      out += "</text>\n";
    } else {
      if (i - start == 1 && text_width(number, 10) + 4 < width) {
        open_text(out, middle, top + 13, "font-size=\"10\" text-anchor=\"middle\" stroke=\"none\"");
        out += number;
        out += "</text>\n";
      }
      for (std::size_t k = start; k < i; ++k) {
        unnamed.add(static_cast<std::int64_t>(k + 1), data.genes[k].name, data.genes[k].first,
                    data.genes[k].last);
      }
    }
    if (first == 1 || !across) continue;
    for (const auto& [y0, y1] : spans) {
      lines += 'M';
      put_number(lines, x0);
      lines += ',';
      put_number(lines, y0);
      lines += 'V';
      put_number(lines, y1);
    }
  }
  out += "</g>\n";
  if (!data.empty_genes.empty()) put_empty_genes(out, data, scale, top);
  for (const OverviewGene& gene : data.empty_genes) unnamed.add(0, gene.name, 1, 0);
  key = unnamed.finish();
}

double put_gene_key(std::string& out, const std::vector<std::string>& key, double y) {
  out += "<g font-size=\"11.5\">";
  for (std::size_t k = 0; k < key.size(); ++k) {
    if (k > 0) y += 17;
    open_text(out, kLeft, y);
    out += key[k];
    out += "</text>";
  }
  out += "</g>\n";
  return y;
}

}  // namespace selvane::svg
