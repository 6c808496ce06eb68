// The pieces the SVG overview is drawn from, shared by its two source files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/svg.h"

namespace selvane::svg {

inline constexpr double kLeft = 72.0;                        // x of position 1's left edge
inline constexpr std::string_view kBlue = "#0072B2";         // conservation, mean
inline constexpr std::string_view kSkyBlue = "#56B4E9";      // conservation, maximum
inline constexpr std::string_view kOrange = "#E69F00";       // gaps, mean
inline constexpr std::string_view kLightOrange = "#F3CF80";  // gaps, maximum
inline constexpr std::string_view kVermillion = "#D55E00";   // excluded by the gap policy
inline constexpr std::string_view kGreen = "#009E73";        // selected blocks
inline constexpr std::string_view kGrey = "#BBBBBB";         // not selected
inline constexpr std::string_view kPurple = "#CC79A7";       // b2 line
inline constexpr double kRight = kLeft + kPlotWidth;

// Positions to pixels. The profiles have `columns` columns of `column_width` pixels; column c
// covers the positions floor(c * nupo / columns) + 1 .. floor((c + 1) * nupo / columns).
struct Scale {
  explicit Scale(std::int32_t nupo);
  double x(std::int64_t p) const;  // left edge of position p; x(nupo + 1) is the right end
  bool aggregated() const { return columns < nupo; }  // a column covers several positions
  std::int32_t nupo;
  std::int32_t columns;
  double column_width;
};

// The positions of one pixel column, as fractions of the sequences.
struct Column {
  double mean_val = 0.0;
  double max_val = 0.0;
  double mean_gap = 0.0;
  double max_gap = 0.0;
  std::int32_t excluded = 0;  // positions excluded by the gap policy
  // The conservation of all its positions, the excluded ones with the value they would have
  // had; 0 when none is excluded (the kept profile covers it there).
  double mean_all = 0.0;
  double max_all = 0.0;
  // With per_gene_thresholds(): b1 and b2 of the genes it covers, as fractions of their own
  // sequences, averaged over its positions.
  double b1 = 0.0;
  double b2 = 0.0;
};

// Whether some gene has a number of sequences, a b1 or a b2 of its own, different from the
// heading's (a concatenation joined by name): the thresholds are then drawn gene by gene.
bool per_gene_thresholds(const OverviewData& data);

std::vector<Column> aggregate(const OverviewData& data, const Scale& scale);

// Selected blocks closer than a pixel are drawn as one bar, so there are never more bars than
// pixels: blocks k_first..k_last, positions first..last, `selected` of them in the blocks.
struct Bar {
  std::int32_t k_first = 0;
  std::int32_t k_last = 0;
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::int64_t selected = 0;
};

std::vector<Bar> merge_blocks(const OverviewData& data, const Scale& scale);

// Vertical positions of every part; a part that has nothing to show takes no room.
struct Layout {
  explicit Layout(const OverviewData& data);
  bool genes = false;
  bool empty_genes = false;
  bool occupancy = false;
  bool conservation = false;
  bool gaps = false;
  double parameters_y = 0, genes_top = 0, occupancy_top = 0, conservation_top = 0, gaps_top = 0,
         excluded_top = 0, blocks_top = 0, axis_y = 0, legend_y = 0;
  // The heat map of the taxa: whole pixels per row, as many as fit kOccupancyHeight (1 to 12).
  std::int32_t occupancy_row = 0;
  double occupancy_height = 0;
  static constexpr double kOccupancyHeight = 360;
  static constexpr double kGenesHeight = 18, kConservationHeight = 170, kGapsHeight = 60,
                          kExcludedHeight = 8, kBlocksHeight = 18, kParameterRow = 17;
};

// Path data of a step area over the columns: from the base line at top + height up to
// value * height, one segment per change of height.
void put_area(std::string& out, const std::vector<Column>& columns, const Scale& scale, double top,
              double height, double Column::*value);

// Path data of a step line at value * height above the base line, across the columns.
void put_step_line(std::string& out, const std::vector<Column>& columns, const Scale& scale,
                   double top, double height, double Column::*value);

// The conservation panel (with the selected blocks behind it and the b1 and b2 lines; true
// when it drew the conservation of excluded positions) and the gap panel (with the positions
// excluded by the gap policy below it).
bool put_conservation(std::string& out, const OverviewData& data, const Scale& scale,
                      const Layout& layout, const std::vector<Column>& columns,
                      const std::vector<Bar>& bars);
void put_gap_profile(std::string& out, const OverviewData& data, const Scale& scale,
                     const Layout& layout, const std::vector<Column>& columns);

// The gene bands of a concatenation, with their names where they fit. Their boundary lines go
// into `lines`, to be drawn over the profiles; the genes not named in their band go into `key`
// as text lines (at most a few) for put_gene_key().
void put_genes(std::string& out, const OverviewData& data, const Scale& scale, const Layout& layout,
               std::string& lines, std::vector<std::string>& key);

// The heat map of where each taxon of a concatenation joined by taxon holds residues.
void put_occupancy(std::string& out, const OverviewData& data, const Scale& scale,
                   const Layout& layout);

// The key lines with their first baseline at y; returns the baseline of the last.
double put_gene_key(std::string& out, const std::vector<std::string>& key, double y);

// The drawing below the root element: heading, genes, profiles, blocks, axis, legend. Returns
// the height of the drawing.
double put_body(std::string& out, const OverviewData& data, const Scale& scale,
                const Layout& layout, const std::vector<Column>& columns,
                const std::vector<Bar>& bars);

}  // namespace selvane::svg
