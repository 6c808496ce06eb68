// One concatenation of a batch joined by taxon: a growing row per taxon, into which every
// alignment adds its own characters for the taxa it holds and gaps for the others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/taxa.h"
#include "input/alignment.h"

namespace selvane {

// What one alignment adds to one concatenation: `width` characters for each of its rows.
// The three concatenations (selected blocks, input alignments, ungapped alignments) differ only
// in this; they share one JoinPlan.
struct Contribution {
  std::int64_t width = 0;
  // Writes exactly `width` characters of row s (1-based) to `out`.
  std::function<void(std::int32_t s, char* out)> fill;
};

// Both refer to `rows`, which must outlive the contribution.
// Every position of every row (an input alignment, an ungapped alignment).
Contribution whole_rows(const Rows& rows);
// The positions first..last (1-based, both included) of each range in turn (the selected blocks);
// a range with last < first (a codon block left without a whole codon) adds nothing.
Contribution ranges_of(const Rows& rows, std::vector<std::pair<std::int32_t, std::int32_t>> ranges);

// The rows of one concatenation, one per taxon of the plan (0-based, in the plan's order).
// A row is padded with '-' only when its taxon next contributes, or by finish(): a taxon first
// seen in a late alignment costs no work for the alignments before it, and the whole
// concatenation costs time linear in its characters.
class JoinedRows {
 public:
  // Appends alignment a of `plan` (contributions land in the order of the calls): row s of the
  // alignment extends the row of its taxon, every other taxon gets `c.width` gaps.
  void append(const JoinPlan& plan, std::size_t a, const Contribution& c);
  // Pads every taxon of `plan` to width(); call it after the last append, before row().
  void finish(const JoinPlan& plan);

  // Positions joined so far.
  std::int64_t width() const { return width_; }
  std::int32_t taxa() const { return static_cast<std::int32_t>(rows_.size()); }
  // The width() characters of taxon t (0-based), after finish().
  std::string_view row(std::int32_t t) const { return rows_[static_cast<std::size_t>(t)]; }

 private:
  std::int64_t width_ = 0;
  std::vector<std::string> rows_;  // each at most width_ long; shorter ones end in pending gaps
};

}  // namespace selvane
