// Hand-made inputs for the writer tests: alignments, conservation values and blocks built
// directly, without the classification or the block selection.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "input/alignment.h"
#include "selection/blocks.h"
#include "selection/classify.h"

namespace selvane::testing {

inline Rows make_rows(const std::vector<std::string>& rows) {
  const auto width = rows.empty() ? 0 : static_cast<std::int32_t>(rows[0].size());
  Rows out(static_cast<std::int32_t>(rows.size()), width);
  for (std::size_t s = 0; s < rows.size(); ++s) {
    std::memcpy(out.row(static_cast<std::int32_t>(s + 1)) + 1, rows[s].data(), rows[s].size());
  }
  return out;
}

inline Alignment make_alignment(const std::vector<std::string>& names,
                                const std::vector<std::string>& rows) {
  Alignment aln;
  aln.numseq = static_cast<std::int32_t>(rows.size());
  aln.nupo = static_cast<std::int32_t>(rows[0].size());
  aln.let = make_rows(rows);
  aln.name.push_back("");
  aln.name.insert(aln.name.end(), names.begin(), names.end());
  return aln;
}

struct Scored {
  std::int32_t p;
  float val;
  char letter;
};

// Every position unscored (0, '?') except the ones listed.
inline Classification make_classification(std::int32_t nupo, const std::vector<Scored>& scored) {
  Classification cls;
  cls.val.assign(static_cast<std::size_t>(nupo) + 1, 0.0f);
  cls.val_aa.assign(static_cast<std::size_t>(nupo) + 1, '?');
  for (const Scored& s : scored) {
    cls.val[static_cast<std::size_t>(s.p)] = s.val;
    cls.val_aa[static_cast<std::size_t>(s.p)] = s.letter;
  }
  return cls;
}

// Selected blocks [first, last] of an alignment of nupo positions.
inline Blocks make_blocks(std::int32_t nupo,
                          const std::vector<std::pair<std::int32_t, std::int32_t>>& spans) {
  Blocks b;
  b.nupo = nupo;
  for (const auto& [first, last] : spans) b.newpos.push_back({first, last});
  return b;
}

// The selection line, index 0 unused.
inline std::string selection_line(std::int32_t nupo,
                                  const std::vector<std::pair<std::int32_t, std::int32_t>>& spans) {
  std::string line(static_cast<std::size_t>(nupo) + 1, '.');
  line[0] = ' ';
  for (const auto& [first, last] : spans) {
    for (std::int32_t p = first; p <= last; ++p) line[static_cast<std::size_t>(p)] = '#';
  }
  return line;
}

}  // namespace selvane::testing
