#include "batch/join.h"

#include <optional>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "core/setting_rules.h"
#include "input/readers.h"

namespace selvane {

namespace {

// The stop of a name that yields no taxon or of a taxon found twice, naming the file.
[[noreturn]] void name_error(const std::string& file, const TaxonError& e) {
  if (e.kind == TaxonError::Kind::kDuplicateKey) {
    fatal("\nTaxon found twice in an alignment",
          file + ": sequences " + std::to_string(e.other_row) + " and " + std::to_string(e.row) +
              " both belong to the taxon " + in_quotes(e.key));
  }
  fatal("\nSequence name without taxon", file + ": " + e.what());
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

UserCounts user_counts(const RunState& st) {
  UserCounts user;
  if (st.input.negval_set) user.negval = st.params.negval;
  if (st.input.flankval_set) user.flankval = st.params.flankval;
  return user;
}

int apply_join_counts(BlockParams& params, std::int32_t numseq, const UserCounts& user) {
  apply_sequence_count_defaults(params, numseq);
  if (user.negval) params.negval = *user.negval;
  if (user.flankval) params.flankval = *user.flankval;
  if (user.negval && !check_negval(params.negval, params, numseq).accepted()) return 1;
  if (user.flankval && !check_flankval(params.flankval, params, numseq).accepted()) return 2;
  return 0;
}

JoinPlan plan_join(const RunState& st, const std::vector<std::string>& paths, const TaxonRule& rule,
                   const UserCounts& user) {
  JoinPlan plan(rule);
  BlockParams params = st.params;
  for (const std::string& path : paths) {
    const std::vector<std::string> names =
        read_names(path, st.input.fileformat, st.input.long_names);
    try {
      plan.add(names);
    } catch (const TaxonError& e) {
      name_error(path, e);
    }
    const auto numseq = static_cast<std::int32_t>(names.size()) - 1;
    if (const int which = apply_join_counts(params, numseq, user); which != 0) {
      const bool b1 = which == 1;
      const std::int32_t low = b1 ? params.initnegval : params.negval;
      const std::int32_t high = b1 ? params.flankval : numseq;
      fatal(b1 ? "\nParameter b1 out of range for an alignment"
               : "\nParameter b2 out of range for an alignment",
            path + ": " + (b1 ? "b1 = " : "b2 = ") +
                std::to_string(b1 ? params.negval : params.flankval) + " is outside " +
                std::to_string(low) + ".." + std::to_string(high) + " for its " +
                std::to_string(numseq) + " sequences");
    }
  }
  return plan;
}

std::vector<std::string> taxon_names(const JoinPlan& plan) {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(plan.taxa()) + 1);
  names.emplace_back();
  names.insert(names.end(), plan.keys().begin(), plan.keys().end());
  return names;
}

RowIndex taxon_rows(const JoinPlan& plan) {
  // A counting sort of the rows by taxon: alignments are visited in order, so the entries of
  // each taxon come out in increasing range order.
  RowIndex index;
  index.start.assign(static_cast<std::size_t>(plan.taxa()) + 1, 0);
  for (std::size_t a = 0; a < plan.alignments(); ++a) {
    for (std::int32_t s = 1; s <= plan.rows(a); ++s) {
      ++index.start[static_cast<std::size_t>(plan.taxon_of(a, s)) + 1];
    }
  }
  for (std::size_t t = 1; t < index.start.size(); ++t) index.start[t] += index.start[t - 1];
  index.entries.resize(index.start.back());
  std::vector<std::size_t> next(index.start.begin(), index.start.end() - 1);
  for (std::size_t a = 0; a < plan.alignments(); ++a) {
    for (std::int32_t s = 1; s <= plan.rows(a); ++s) {
      const auto t = static_cast<std::size_t>(plan.taxon_of(a, s));
      index.entries[next[t]++] = {static_cast<std::uint32_t>(a), s};
    }
  }
  return index;
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
