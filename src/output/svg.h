// The SVG overview of one alignment run: conservation and gap profiles, the selected blocks and
// the parameters, drawn at a bounded width whatever the length of the alignment.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "input/alignment.h"
#include "selection/blocks.h"

namespace selvane {

// One block parameter as the overview names it, e.g. {"b1", "Minimum Number Of Sequences For A
// Conserved Position", "6"} or {"b5", "Allowed Gap Positions", "With Half"}.
struct OverviewParameter {
  std::string key;
  std::string name;
  std::string value;
};

// A gene of a concatenation: its name and its positions first..last (1-based, inclusive), and
// optionally (0 when not given) its own number of sequences and its b1 and b2.
struct OverviewGene {
  std::string name;
  std::int32_t first = 0;
  std::int32_t last = 0;
  std::int32_t numseq = 0;
  std::int32_t negval = 0;
  std::int32_t flankval = 0;
};

// One position as the overview draws it, whatever alignment of a concatenation it comes from:
// its conservation value and its gaps as fractions of its own alignment's sequences, and whether
// that alignment's gap policy excluded it. The value of an excluded position is the one it would
// have had (0 when that was not scored): a position has one value or the other, never both.
struct OverviewShare {
  float val = 0.0f;
  float gaps = 0.0f;
  bool excluded = false;
};

// The counts of one alignment of `numseq` sequences, per position 1..nupo (entry 0 unused), from
// which its positions' shares are worked out.
struct OverviewCounts {
  std::span<const float> val;           // Classification::val
  std::span<const float> excluded_val;  // Classification::excluded_val; empty: none scored
  std::span<const std::int32_t> gaps;   // count_gaps()
  std::int32_t numseq = 0;
  // Positions holding more gaps than this were excluded by the gap policy (gap_limit() of
  // selection/classify.h).
  std::int32_t max_scored_gaps = 0;

  OverviewShare share(std::size_t p) const;
};

// The shares of positions 1..nupo of `counts`, entry 0 unused.
std::vector<OverviewShare> overview_shares(const OverviewCounts& counts, std::int32_t nupo);

// A concatenation joined by taxon: how much of each taxon it holds where, drawn as a heat map
// of taxa against positions. Its rows are the taxa in the order of the file, or groups of
// consecutive taxa when there are more than kOccupancyRows (occupancy_rows()); its columns are
// those of the profiles (overview_columns()). Row r holds the taxa from
// floor(r * taxa / rows) + 1 to floor((r + 1) * taxa / rows), as column c holds positions.
struct OverviewOccupancy {
  std::int32_t taxa = 0;
  std::int32_t rows = 0;
  std::int32_t columns = 0;
  // rows x columns, row after row: the residues of the row's taxa at the column's positions, as
  // a share of the characters (taxa x positions) the cell covers.
  std::vector<float> share;
  // Per row: what its title says, the taxon's name or the first and last of a group, and the
  // share of the row's characters in the whole concatenation that are residues.
  std::vector<std::string> labels;
  std::vector<float> row_share;
};

inline constexpr int kOccupancyRows = 300;

// The pixel columns of the profiles over `nupo` positions (at least 1) and the rows of the
// occupancy heat map of `taxa` taxa.
std::int32_t overview_columns(std::int32_t nupo);
std::int32_t occupancy_rows(std::int32_t taxa);

// Everything the overview shows. The spans are read during render_svg() only.
struct OverviewData {
  std::string file_name;   // shown as given (any bytes; escaped for XML)
  std::string type_label;  // "Protein", "DNA", "Codons"
  std::int32_t numseq = 0;
  std::int32_t nupo = 0;
  // Every position 1..nupo (entry 0 unused); empty: no profile is drawn.
  std::span<const OverviewShare> shares;
  // b1 and b2, drawn as the thresholds b1 / numseq and b2 / numseq, unless some gene gives
  // other values (a concatenation joined by name): then each gene's b1 and b2 as fractions of
  // its own sequences.
  std::int32_t negval = 0;
  std::int32_t flankval = 0;
  // The selected blocks (Blocks::newpos), numbered from 1 in this order; an empty one (a codon
  // block without a whole codon) is counted and numbered but not drawn.
  std::span<const Span> blocks;
  std::vector<OverviewParameter> parameters;  // shown in the given order
  std::vector<OverviewGene> genes;            // optional: a concatenation's genes, in order
  // Genes that gave no position, marked where they would have started (`first`; `last` unused).
  std::vector<OverviewGene> empty_genes;
  // A concatenation joined by taxon: its rows are taxa (the heading counts them so), its gaps
  // count the taxa missing from a gene, and `occupancy` (read during render_svg() only, when
  // it has rows) is drawn as a heat map.
  bool taxa = false;
  const OverviewOccupancy* occupancy = nullptr;
};

// Sequences with a gap at each position, index 1..nupo (entry 0 is 0), in one pass over the rows.
std::vector<std::int32_t> count_gaps(const Alignment& aln);

// The distance between labelled ticks of the position axis: the smallest of 1, 2, 5, 10, 20,
// 50, ... that gives at most 12 ticks over nupo positions.
std::int64_t tick_step(std::int32_t nupo);

// The whole SVG document. Its width is at most kOverviewWidth pixels; every pixel column of the
// profiles stands for the mean and the maximum of the positions it covers.
std::string render_svg(const OverviewData& data);

inline constexpr int kOverviewWidth = 1600;
// Pixels across the profiles: at most this many aggregated columns are drawn.
inline constexpr int kPlotWidth = 1360;

}  // namespace selvane
