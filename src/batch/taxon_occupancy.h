// How much of each taxon a concatenation joined by taxon holds: the occupancy table written
// beside it (--occupancy), and what its overview draws of the taxa (--svg).
//
// A residue is a character that counts for the sequence type (selection/sites.h): a taxon
// missing from an alignment has none there, nor has one whose row there is all gaps or N.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "batch/concat.h"
#include "core/run_state.h"
#include "output/alignment_file.h"
#include "output/overview.h"

namespace selvane {

// The header's first and last cells; the alignments' partition names come between.
inline constexpr const char* kOccupancyTaxon = "taxon";
inline constexpr const char* kOccupancyTotals = "genes\tresidues";

// For sequence n (from 1) of a file of `c` joined by `rows_of`: its residues in each piece of
// `c` (each alignment's range), 0 where the taxon is missing.
std::vector<std::int64_t> residues_by_piece(const Concatenation& c, const RowIndex& rows_of,
                                            std::size_t n, SeqType type);

// For each sequence n of a file of `c` joined by `rows_of` (entry 0 unused): whether it holds a
// residue anywhere in `c`.
std::vector<bool> sequences_with_residues(const Concatenation& c, const RowIndex& rows_of,
                                          SeqType type);

// Writes the occupancy table of the file of `c` whose sequences are `names` (1-based), joined by
// `rows_of`, to `path`: a header "taxon", the name of each piece (`pieces`, the partition names
// of the alignments in concatenation order), "genes" and "residues"; then one row per taxon,
// its name, its residues in each piece, the pieces it has a residue in and its residues in all.
void save_occupancy(const std::string& path, const OutputSwitches& outputs, const Concatenation& c,
                    const std::vector<std::string>& names, const RowIndex& rows_of,
                    const std::vector<std::string>& pieces, SeqType type);

// What the overview of the file of `c` (`names`, `rows_of` as above) draws of its taxa.
TaxaOverview taxa_overview(const Concatenation& c, const std::vector<std::string>& names,
                           const RowIndex& rows_of, SeqType type);

}  // namespace selvane
