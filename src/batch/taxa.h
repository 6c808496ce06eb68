// Joining the alignments of a batch by taxon: how a taxon key is read from a sequence name,
// and which row of each alignment belongs to which taxon.
//
// Counting: taxa count from 0 in the order of their first appearance; alignments count from 0
// in the order they were added; rows count from 1, as in Alignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace re2 {
class RE2;
}

namespace selvane {

// A name that yields no taxon, two rows of one alignment with the same taxon, or a pattern
// that is not a regular expression. The fields let the caller word its own message (with the
// file it concerns); what() is a plain description for the rest.
class TaxonError : public std::runtime_error {
 public:
  enum class Kind {
    kBadPattern,    // `name` is the pattern, what() the reason
    kNoMatch,       // the pattern does not match `name`
    kEmptyKey,      // `name` gives an empty key
    kDuplicateKey,  // `key` is the taxon of rows `row` and `other_row` (other_row < row)
  };
  TaxonError(Kind kind_of, std::string name_of, std::string key_of, std::string what,
             std::int32_t row_of = 0, std::int32_t other_row_of = 0)
      : std::runtime_error(std::move(what)),
        kind(kind_of),
        name(std::move(name_of)),
        key(std::move(key_of)),
        row(row_of),
        other_row(other_row_of) {}

  Kind kind;
  std::string name;
  std::string key;
  std::int32_t row;
  std::int32_t other_row;
};

// How the taxon key is read from a sequence name (the header text after its marker, without
// the line end). Blanks are space and tab; blanks before the first word are skipped, since a
// header written "> name" means the same taxon as ">name".
class TaxonRule {
 public:
  enum class Kind { kFirstBlank, kSeparator, kRegex };

  // The first word of the name.
  TaxonRule() = default;
  // The first word of the name, up to the first `separator` in it (all of it without one).
  static TaxonRule separator(char separator);
  // A pattern in RE2's syntax searched in the whole name, each byte one character: the first
  // capture group of the first match, or the whole match when the pattern has no group. RE2
  // searches in time linear in the name's length whatever the pattern (no backtracking), so a
  // user's pattern cannot hang a batch, and a name may be of any length. Compiled once, here; a
  // pattern that does not compile throws TaxonError kBadPattern.
  static TaxonRule regex(const std::string& pattern);

  Kind kind() const { return kind_; }

  // The taxon key of `name`. Throws TaxonError kNoMatch or kEmptyKey.
  std::string key(std::string_view name) const;

 private:
  Kind kind_ = Kind::kFirstBlank;
  char separator_ = ' ';
  std::shared_ptr<const re2::RE2> regex_;  // shared: copies of a rule use one compiled pattern
};

// Which row of every alignment of a batch belongs to which taxon. Built alignment by alignment
// (as they are read, or in a pass over the names before anything is written); a hash map from
// key to taxon keeps it linear in the number of names.
class JoinPlan {
 public:
  explicit JoinPlan(TaxonRule rule = {}) : rule_(std::move(rule)) {}

  // Adds the next alignment from its names, 1-based as Alignment::name (entry 0 is ignored), and
  // returns its index. Taxa not seen before are appended in row order. Throws TaxonError, with
  // the row, for a name without key or a key found twice; the plan is then left as it was.
  std::size_t add(const std::vector<std::string>& names);

  const TaxonRule& rule() const { return rule_; }
  std::int32_t taxa() const { return static_cast<std::int32_t>(keys_.size()); }
  const std::string& taxon(std::int32_t t) const { return keys_[static_cast<std::size_t>(t)]; }
  const std::vector<std::string>& keys() const { return keys_; }

  std::size_t alignments() const { return offsets_.size() - 1; }
  std::int32_t rows(std::size_t a) const {
    return static_cast<std::int32_t>(offsets_[a + 1] - offsets_[a]);
  }
  // The taxon of row s (1-based) of alignment a.
  std::int32_t taxon_of(std::size_t a, std::int32_t s) const {
    return row_taxon_[offsets_[a] + static_cast<std::size_t>(s - 1)];
  }

 private:
  void undo(std::size_t taxa_before, std::size_t rows_before);

  TaxonRule rule_;
  std::vector<std::string> keys_;                        // key of taxon t
  std::unordered_map<std::string, std::int32_t> index_;  // key -> taxon
  std::vector<std::int32_t> row_taxon_;     // taxon of every row, alignment after alignment
  std::vector<std::size_t> offsets_ = {0};  // alignment a: row_taxon_[offsets_[a]...]
  // Per taxon, the call of add() that last saw it and in which row: a duplicate within one
  // alignment is found in constant time. Calls are counted, not alignments, so that the marks
  // left by a call that failed cannot be taken for marks of the next one.
  std::vector<std::uint64_t> seen_call_;
  std::vector<std::int32_t> seen_row_;
  std::uint64_t calls_ = 0;
};

// For the concatenations that join rows by position: the first row whose name differs between
// the first alignment and a later one. Names are compared by their keys under `rule` (so a
// different description after the name is no difference); names without a key are compared
// whole. Only rows present in both are compared.
struct NameMismatch {
  std::int32_t row;  // 1-based
  std::string first;
  std::string later;
};
std::optional<NameMismatch> first_name_mismatch(const std::vector<std::string>& first,
                                                const std::vector<std::string>& later,
                                                const TaxonRule& rule = {});

}  // namespace selvane
