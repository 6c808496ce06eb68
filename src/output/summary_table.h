// The summary of a run (--summary=FILE): one row per alignment, what people filter genes with
// before building a supermatrix.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/run_state.h"
#include "selection/sites.h"

namespace selvane {

// The header line, whose column names scripts rely on.
inline constexpr const char* kSummaryHeader =
    "alignment\ttype\tsequences\tcolumns\tpositions\tselected\tselected_share\tblocks\t"
    "gap_share\tselected_gap_share\tvariable_sites\tparsimony_informative_sites\t"
    "selected_variable_sites\tselected_parsimony_informative_sites\ttaxa\n";

// One alignment of a run.
struct SummaryRow {
  std::string alignment;             // its path as given (as the paths file lists it)
  SeqType type = SeqType::kUnknown;  // written as its name in lower case: protein, dna, codons
  std::int32_t sequences = 0;
  std::int32_t columns = 0;    // of the input as read
  std::int32_t positions = 0;  // once the columns of gaps in every sequence are removed
  std::int32_t selected = 0;
  std::int32_t blocks = 0;
  SiteStats sites;
  // Joined by taxon: its taxa that hold a residue in it and that the concatenations keep (0 when
  // it is left out of them). Empty otherwise.
  std::optional<std::int32_t> taxa;
};

// Writes the table to `path` (created like every output, under `outputs`).
void save_summary(const std::string& path, const OutputSwitches& outputs,
                  std::span<const SummaryRow> rows);

}  // namespace selvane
