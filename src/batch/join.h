// A batch whose concatenations join their sequences by taxon (--by-name), and the warning of
// those that join them by position. What can stop a joined batch is settled by a pass over the
// names of every listed alignment before anything is written; the run then reuses its plan.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/taxa.h"
#include "core/run_state.h"
#include "input/detect.h"
#include "output/alignment_file.h"

namespace selvane {

// How the run's switches read a taxon from a name. Fatal when --taxon-sep is not one
// character, when it is given together with --taxon-regex, or when the pattern is not valid.
TaxonRule taxon_rule(const JoinSwitches& join);

// The b1 and b2 the user set since the input was opened (command line or menus), and those the
// command line refused for the first alignment.
struct UserCounts {
  std::optional<std::int32_t> negval;
  std::optional<std::int32_t> flankval;
  bool flankval_lowest = false;  // -b2=0: b2 is b1, whatever b1 becomes
  std::optional<RefusedCount> refused_negval;
  std::optional<RefusedCount> refused_flankval;
};

// A b1 or b2 the user set, out of an alignment's range.
struct OutOfRange {
  bool b1;  // b1, or b2
  RefusedCount count;
};

// The alignments a paths file lists, and how they are read.
struct BatchList {
  std::string paths_file;
  std::vector<ListedPath> paths;
  InputFormat fileformat = InputFormat::kNone;
  bool long_names = false;
};

// b1 and b2 for an alignment of `numseq` sequences in a batch joined by taxon: its own
// sequence-count defaults, but the values the user set (b2 following b1 after -b2=0). Returns
// the user's value that is out of this alignment's range (b1 from numseq / 2 + 1 to b2, b2 from
// b1 to numseq), nullopt when both fit.
std::optional<OutOfRange> apply_join_counts(BlockParams& params, std::int32_t numseq,
                                            const UserCounts& user);

// The pass before a joined batch writes anything: the names and the number of sequences of
// every alignment of `list`.
// Returns the plan of the join; ends the run, naming the file (and where it is listed) and the
// name, key or value, on a file that cannot be read, a name without taxon, a taxon found twice in
// one alignment, or a b1 or b2 the user set that is out of range for some alignment (the first
// one included, for which the command line refused it).
JoinPlan plan_join(const BatchList& list, const TaxonRule& rule, const UserCounts& user);

// For concatenations joined by position: the line for standard error when the names of
// `later` (alignment file `file`) differ from those of the first alignment `first_file`, by
// their taxa under `rule`; nullopt when they agree.
std::optional<std::string> position_join_warning(const std::string& first_file,
                                                 const std::vector<std::string>& first,
                                                 const std::string& file,
                                                 const std::vector<std::string>& later,
                                                 const TaxonRule& rule);

}  // namespace selvane
