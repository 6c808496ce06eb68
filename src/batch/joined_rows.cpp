#include "batch/joined_rows.h"

#include <cstring>

namespace selvane {

Contribution whole_rows(const Rows& rows) {
  return {rows.width(), [&rows](std::int32_t s, char* out) {
            std::memcpy(out, rows.row(s) + 1, static_cast<std::size_t>(rows.width()));
          }};
}

Contribution ranges_of(const Rows& rows,
                       std::vector<std::pair<std::int32_t, std::int32_t>> ranges) {
  std::int64_t width = 0;
  for (const auto& [first, last] : ranges) {
    if (last >= first) width += last - first + 1;
  }
  return {width, [&rows, ranges = std::move(ranges)](std::int32_t s, char* out) {
            for (const auto& [first, last] : ranges) {
              if (last < first) continue;
              const auto n = static_cast<std::size_t>(last - first + 1);
              std::memcpy(out, rows.row(s) + first, n);
              out += n;
            }
          }};
}

void JoinedRows::append(const JoinPlan& plan, std::size_t a, const Contribution& c) {
  if (rows_.size() < static_cast<std::size_t>(plan.taxa())) {
    rows_.resize(static_cast<std::size_t>(plan.taxa()));
  }
  if (c.width == 0) return;  // the taxa it lacks owe no gaps either
  const auto before = static_cast<std::size_t>(width_);
  const auto after = before + static_cast<std::size_t>(c.width);
  for (std::int32_t s = 1; s <= plan.rows(a); ++s) {
    std::string& row = rows_[static_cast<std::size_t>(plan.taxon_of(a, s))];
    row.resize(before, '-');  // the gaps of the alignments that lacked this taxon
    row.resize(after);
    c.fill(s, row.data() + before);
  }
  width_ += c.width;
}

void JoinedRows::finish(const JoinPlan& plan) {
  rows_.resize(static_cast<std::size_t>(plan.taxa()));
  for (std::string& row : rows_) row.resize(static_cast<std::size_t>(width_), '-');
}

}  // namespace selvane
