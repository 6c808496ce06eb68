// The site table (--site-table): one row per column of the input as read, the map from every
// position and selected block back to the input.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/run_state.h"
#include "input/alignment.h"
#include "selection/blocks.h"
#include "selection/classify.h"

namespace selvane {

// The header line, whose column names scripts rely on.
inline constexpr const char* kSiteTableHeader =
    "column\tposition\tconservation\tgaps\tclass\tselected\tblock\n";

// Writes the table of `aln` (its positions, and the input columns removed as gaps in every
// sequence, Alignment::gap_columns) to `path`: for each column, its position (empty for a
// removed one), its conservation value as a fraction of the sequences as the SVG overview draws
// it (an excluded position's the value it would have had, when `cls` scored it), its gaps
// (`gaps` is count_gaps(aln)), its class (conserved, flank, nonconserved, excluded or allgap,
// the classes of the block selection under `params`), whether it is selected, and the number of
// its selected block (from 1, in the order of Blocks::newpos).
void save_site_table(const std::string& path, const OutputSwitches& outputs,
                     const BlockParams& params, const Alignment& aln, const Classification& cls,
                     const Blocks& blocks, std::span<const std::int32_t> gaps);

}  // namespace selvane
