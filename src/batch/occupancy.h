// What goes into the concatenations of a batch joined by taxon: the occupancy filters
// (--min-taxa, --min-genes), the taxa that hold no residue in a concatenation, and the check
// that the taxon rule shares taxa between the alignments at all.
//
// Counting as in batch/taxa.h: taxa and alignments from 0, rows from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/join.h"
#include "batch/taxa.h"
#include "core/run_state.h"
#include "output/alignment_file.h"

namespace selvane {

// The alignments and taxa of a join that its concatenations hold.
struct JoinSelection {
  std::vector<bool> alignments;     // per alignment of the plan
  std::vector<bool> taxa;           // per taxon of the plan
  std::vector<std::int32_t> genes;  // per taxon: the alignments of min_taxa taxa holding it
  bool everything = true;           // nothing left out
};

// One pass, in this order: the alignments of fewer than `min_taxa` taxa are left out; then the
// taxa found in fewer than `min_genes` of the alignments kept (in none, without --min-genes);
// then the alignments left without a taxon. 0: no minimum.
JoinSelection select_for_join(const JoinPlan& plan, std::int32_t min_taxa, std::int32_t min_genes);

// The lines for standard error that name what `selection` leaves out of the concatenations of
// the batch `list` (an alignment by its file, a taxon by its name), one each, in order.
std::vector<std::string> left_out_lines(const BatchList& list, const JoinPlan& plan,
                                        const JoinSelection& selection, const JoinSwitches& join);

// What the files of a concatenation joined by `plan` are made of, over what `selection` keeps:
// sequence n (from 1) is the n-th taxon kept, named by its key (entry 0 unused), found in the
// rows the index gives, the k-th alignment kept being range k of the concatenation.
std::vector<std::string> taxon_names(const JoinPlan& plan, const JoinSelection& selection);
RowIndex taxon_rows(const JoinPlan& plan, const JoinSelection& selection);

// The sequences n (from 1) of `names` and `rows` for which keep[n] holds, in order.
void keep_sequences(std::vector<std::string>& names, RowIndex& rows, const std::vector<bool>& keep);

// Over three or more alignments, the line for standard error when the taxon rule seems to take
// a name's sequence id for part of its taxon: more than half of the taxa are found in one
// alignment only, and at least one alignment shares no taxon with any other (a block of the
// concatenation that no tree can place against the rest), or every alignment keeps three
// quarters or more of its taxa to itself (the ids kept in most names, a few taxa named alike
// everywhere). nullopt otherwise. Honest missing data rarely leaves a whole alignment apart, nor
// every alignment mostly to itself; a rule that keeps the ids does both.
std::optional<std::string> unshared_taxa_line(const BatchList& list, const JoinPlan& plan);

}  // namespace selvane
