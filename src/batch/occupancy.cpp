#include "batch/occupancy.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "core/diagnostics.h"
#include "core/path_split.h"

namespace selvane {

namespace {

std::string counted(std::int64_t n, const char* one, const char* more) {
  return std::to_string(n) + " " + (n == 1 ? one : more);
}

}  // namespace

JoinSelection select_for_join(const JoinPlan& plan, std::int32_t min_taxa, std::int32_t min_genes) {
  const std::size_t alignments = plan.alignments();
  const auto taxa = static_cast<std::size_t>(plan.taxa());
  JoinSelection selection;
  selection.alignments.assign(alignments, true);
  selection.taxa.assign(taxa, true);
  selection.genes.assign(taxa, 0);
  for (std::size_t a = 0; a < alignments; ++a) {
    if (plan.rows(a) < min_taxa) selection.alignments[a] = false;
  }
  for (std::size_t a = 0; a < alignments; ++a) {
    if (!selection.alignments[a]) continue;
    for (std::int32_t s = 1; s <= plan.rows(a); ++s) {
      ++selection.genes[static_cast<std::size_t>(plan.taxon_of(a, s))];
    }
  }
  for (std::size_t t = 0; t < taxa; ++t) {
    selection.taxa[t] = selection.genes[t] >= std::max(min_genes, 1);
  }
  for (std::size_t a = 0; a < alignments; ++a) {
    bool holds_one = false;
    for (std::int32_t s = 1; s <= plan.rows(a) && !holds_one; ++s) {
      holds_one = selection.taxa[static_cast<std::size_t>(plan.taxon_of(a, s))];
    }
    if (!holds_one) selection.alignments[a] = false;
  }
  for (std::size_t a = 0; a < alignments; ++a) selection.everything &= selection.alignments[a];
  for (std::size_t t = 0; t < taxa; ++t) selection.everything &= selection.taxa[t];
  return selection;
}

std::vector<std::string> left_out_lines(const BatchList& list, const JoinPlan& plan,
                                        const JoinSelection& selection, const JoinSwitches& join) {
  std::vector<std::string> lines;
  if (selection.everything) return lines;
  for (std::size_t a = 0; a < plan.alignments(); ++a) {
    if (selection.alignments[a]) continue;
    const ListedPath& listed = list.paths[a];
    std::string why = plan.rows(a) < join.min_taxa
                          ? counted(plan.rows(a), "taxon", "taxa") +
                                ", fewer than --min-taxa=" + std::to_string(join.min_taxa)
                          : "none of its taxa is left in them";
    lines.push_back(listed.path + ": left out of the concatenations: " + why + " (listed on line " +
                    std::to_string(listed.line) + " of " + list.paths_file + ")");
  }
  // The alignments the taxa were counted in.
  std::int64_t counted_in = 0;
  for (std::size_t a = 0; a < plan.alignments(); ++a) counted_in += plan.rows(a) >= join.min_taxa;
  std::string of_alignments = " of the " + counted(counted_in, "alignment", "alignments");
  if (join.min_taxa > 0) of_alignments += " of " + std::to_string(join.min_taxa) + " taxa or more";
  for (std::size_t t = 0; t < selection.taxa.size(); ++t) {
    if (selection.taxa[t]) continue;
    std::string why = "found in " + std::to_string(selection.genes[t]) + of_alignments;
    if (join.min_genes > 0) why += ", fewer than --min-genes=" + std::to_string(join.min_genes);
    lines.push_back(list.paths_file + ": taxon " +
                    in_quotes(plan.taxon(static_cast<std::int32_t>(t))) +
                    " left out of the concatenations: " + why);
  }
  return lines;
}

std::vector<std::string> taxon_names(const JoinPlan& plan, const JoinSelection& selection) {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(plan.taxa()) + 1);
  names.emplace_back();
  for (std::int32_t t = 0; t < plan.taxa(); ++t) {
    if (selection.taxa[static_cast<std::size_t>(t)]) names.push_back(plan.taxon(t));
  }
  return names;
}

RowIndex taxon_rows(const JoinPlan& plan, const JoinSelection& selection) {
  // The sequence of every taxon kept (from 1; 0 for one left out), and the range of every
  // alignment kept.
  std::vector<std::size_t> sequence(static_cast<std::size_t>(plan.taxa()), 0);
  std::size_t sequences = 0;
  for (std::size_t t = 0; t < sequence.size(); ++t) {
    if (selection.taxa[t]) sequence[t] = ++sequences;
  }
  // A counting sort of the rows by sequence: alignments are visited in order, so the entries of
  // each sequence come out in increasing range order.
  RowIndex index;
  index.start.assign(sequences + 1, 0);
  const auto each_row = [&](auto&& use) {
    std::uint32_t range = 0;
    for (std::size_t a = 0; a < plan.alignments(); ++a) {
      if (!selection.alignments[a]) continue;
      for (std::int32_t s = 1; s <= plan.rows(a); ++s) {
        const std::size_t n = sequence[static_cast<std::size_t>(plan.taxon_of(a, s))];
        if (n != 0) use(n, RowIndex::Entry{range, s});
      }
      ++range;
    }
  };
  each_row([&](std::size_t n, const RowIndex::Entry&) { ++index.start[n]; });
  for (std::size_t n = 1; n < index.start.size(); ++n) index.start[n] += index.start[n - 1];
  index.entries.resize(index.start.back());
  std::vector<std::size_t> next(index.start.begin(), index.start.end() - 1);
  each_row(
      [&](std::size_t n, const RowIndex::Entry& entry) { index.entries[next[n - 1]++] = entry; });
  return index;
}

void keep_sequences(std::vector<std::string>& names, RowIndex& rows,
                    const std::vector<bool>& keep) {
  std::vector<std::string> kept_names(1);
  RowIndex kept_rows;
  for (std::size_t n = 1; n < names.size(); ++n) {
    if (!keep[n]) continue;
    kept_names.push_back(std::move(names[n]));
    kept_rows.entries.insert(kept_rows.entries.end(),
                             rows.entries.begin() + static_cast<std::ptrdiff_t>(rows.start[n - 1]),
                             rows.entries.begin() + static_cast<std::ptrdiff_t>(rows.start[n]));
    kept_rows.start.push_back(kept_rows.entries.size());
  }
  names = std::move(kept_names);
  rows = std::move(kept_rows);
}

std::optional<std::string> unshared_taxa_line(const BatchList& list, const JoinPlan& plan) {
  const std::size_t alignments = plan.alignments();
  if (alignments < 3 || plan.taxa() == 0) return std::nullopt;
  std::vector<std::int32_t> found(static_cast<std::size_t>(plan.taxa()), 0);
  for (std::size_t a = 0; a < alignments; ++a) {
    for (std::int32_t s = 1; s <= plan.rows(a); ++s) {
      ++found[static_cast<std::size_t>(plan.taxon_of(a, s))];
    }
  }
  const auto alone = std::count(found.begin(), found.end(), 1);
  if (alone * 2 <= plan.taxa()) return std::nullopt;

  // The alignments that share no taxon, and whether each keeps three quarters or more of its
  // taxa to itself: a few taxa named alike in every file (a reference named by its taxon alone)
  // leave no alignment apart, however many ids the rule keeps in the other names.
  std::vector<std::size_t> apart;
  bool all_own = true;
  std::vector<std::pair<std::int32_t, std::size_t>> own_examples;  // an own taxon per alignment
  for (std::size_t a = 0; a < alignments; ++a) {
    std::int32_t own = 0;
    for (std::int32_t s = 1; s <= plan.rows(a); ++s) {
      if (found[static_cast<std::size_t>(plan.taxon_of(a, s))] > 1) continue;
      if (own++ == 0 && own_examples.size() < 2) own_examples.emplace_back(plan.taxon_of(a, s), a);
    }
    if (plan.rows(a) == 0) continue;
    if (own == plan.rows(a)) apart.push_back(a);
    all_own &= std::int64_t{own} * 4 >= std::int64_t{plan.rows(a)} * 3;
  }
  if (apart.empty() && !all_own) return std::nullopt;
  std::vector<std::pair<std::int32_t, std::size_t>> examples = own_examples;
  if (!apart.empty()) {
    examples = {{plan.taxon_of(apart[0], 1), apart[0]}};
    if (apart.size() > 1) {
      examples.emplace_back(plan.taxon_of(apart[1], 1), apart[1]);
    } else if (plan.rows(apart[0]) > 1) {
      examples.emplace_back(plan.taxon_of(apart[0], 2), apart[0]);
    }
  }
  std::string such_as;
  for (const auto& [taxon, a] : examples) {
    such_as += such_as.empty() ? " (such as " : " and ";
    such_as += in_quotes(plan.taxon(taxon)) + " in " + getpath(list.paths[a].path).name_file;
  }
  such_as += ")";
  return list.paths_file + ": joined by taxon, " + std::to_string(alone) + " of the " +
         counted(plan.taxa(), "taxon", "taxa") + " are found in one alignment only, and " +
         (apart.empty() ? "each of the " + std::to_string(alignments) +
                              " alignments keeps three quarters or more of its taxa to itself"
                        : std::to_string(apart.size()) + " of the " + std::to_string(alignments) +
                              " alignments share no taxon with any other") +
         such_as +
         ": the taxon rule seems to keep more of a name than its taxon; give --taxon-sep=C or "
         "--taxon-regex=RE";
}

}  // namespace selvane
