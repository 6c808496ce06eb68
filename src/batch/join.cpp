#include "batch/join.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "core/setting_rules.h"
#include "input/readers.h"

namespace selvane {

namespace {

// The stop of a name that yields no taxon or of a taxon found twice, naming the file.
[[noreturn]] void name_error(const std::string& file, const TaxonError& e) {
  switch (e.kind) {
    case TaxonError::Kind::kDuplicateKey:
      fatal("\nTaxon found twice in an alignment",
            file + ": sequences " + std::to_string(e.other_row) + " and " + std::to_string(e.row) +
                " both belong to the taxon " + in_quotes(e.key));
    default:
      fatal("\nSequence name without taxon", file + ": " + e.what());
  }
}

// The stop of a b1 or b2 the user set that is out of the range of the alignment `file` of
// `numseq` sequences.
[[noreturn]] void count_error(const std::string& file, const OutOfRange& out, std::int32_t numseq) {
  fatal(out.b1 ? "\nParameter b1 out of range for an alignment"
               : "\nParameter b2 out of range for an alignment",
        file + ": " + (out.b1 ? "b1 = " : "b2 = ") + std::to_string(out.count.value) +
            " is outside " + std::to_string(out.count.low) + ".." + std::to_string(out.count.high) +
            " for its " + std::to_string(numseq) + " sequences");
}

// Reads the names of every listed alignment and hands them to `use` with their path; a stop in
// either says where the alignment is listed.
template <class Use>
void for_each_names(const BatchList& list, Use&& use) {
  for (std::size_t a = 0; a < list.paths.size(); ++a) {
    const std::string& path = list.paths[a].path;
    working_on(path, [&] {
      for_listed(list.paths[a], list.paths_file,
                 [&] { use(a, path, read_names(path, list.fileformat, list.long_names)); });
    });
  }
}

}  // namespace

TaxonRule taxon_rule(const JoinSwitches& join) {
  if (join.taxon_sep && join.taxon_regex) {
    fatal("\nTaxon separator and taxon pattern both given",
          "--taxon-sep and --taxon-regex cannot be used together");
  }
  if (join.taxon_sep) {
    if (join.taxon_sep->size() != 1) {
      fatal("\nTaxon separator not valid",
            "--taxon-sep=" + in_quotes(*join.taxon_sep) + ": the separator must be one character");
    }
    return TaxonRule::separator((*join.taxon_sep)[0]);
  }
  if (join.taxon_regex) {
    try {
      return TaxonRule::regex(*join.taxon_regex);
    } catch (const TaxonError& e) {
      fatal("\nTaxon pattern not valid",
            "--taxon-regex=" + in_quotes(*join.taxon_regex) + ": " + e.what());
    }
  }
  return TaxonRule();
}

std::optional<OutOfRange> apply_join_counts(BlockParams& params, std::int32_t numseq,
                                            const UserCounts& user) {
  apply_sequence_count_defaults(params, numseq);
  if (user.negval) params.negval = *user.negval;
  if (user.flankval) params.flankval = *user.flankval;
  // b2 = b1 leaves b1 only the bounds of b2: at least numseq / 2 + 1, at most numseq.
  if (user.flankval_lowest) params.flankval = std::min(params.negval, numseq);
  if (user.negval && !check_negval(params.negval, params, numseq).accepted()) {
    return OutOfRange{true, {params.negval, params.initnegval, params.flankval}};
  }
  if (user.flankval && !check_flankval(params.flankval, params, numseq).accepted()) {
    return OutOfRange{false, {params.flankval, params.negval, numseq}};
  }
  return std::nullopt;
}

JoinPlan plan_join(const BatchList& list, const TaxonRule& rule, const UserCounts& user) {
  JoinPlan plan(rule);
  BlockParams params;
  for_each_names(
      list, [&](std::size_t a, const std::string& path, const std::vector<std::string>& names) {
        try {
          plan.add(names);
        } catch (const TaxonError& e) {
          name_error(path, e);
        }
        const auto numseq = static_cast<std::int32_t>(names.size()) - 1;
        // The command line checked the user's values against the first alignment already, and
        // refused those out of its range.
        if (a == 0 && user.refused_negval) count_error(path, {true, *user.refused_negval}, numseq);
        if (a == 0 && user.refused_flankval) {
          count_error(path, {false, *user.refused_flankval}, numseq);
        }
        if (const auto out = apply_join_counts(params, numseq, user)) {
          count_error(path, *out, numseq);
        }
      });
  return plan;
}

std::optional<std::string> position_join_warning(const std::string& first_file,
                                                 const std::vector<std::string>& first,
                                                 const std::string& file,
                                                 const std::vector<std::string>& later,
                                                 const TaxonRule& rule) {
  const std::optional<NameMismatch> found = first_name_mismatch(first, later, rule);
  if (!found) return std::nullopt;
  return file + ": sequence " + std::to_string(found->row) + " is " + in_quotes(found->later) +
         " here but " + in_quotes(found->first) + " in " + first_file +
         "; the concatenations join sequences by position, so a row may mix taxa (--by-name "
         "joins them by name)";
}

}  // namespace selvane
