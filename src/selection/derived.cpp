// The selection line and the ungapped alignment.
#include "selection/derived.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/fatal.h"

namespace selvane {

std::string makeletselvane(const Blocks& blocks, std::int32_t nupo) {
  std::string line;
  // Index 0 holds nothing of use; a blank keeps the string printable.
  allocating("letselvane", [&] { line.assign(static_cast<std::size_t>(nupo) + 1, '.'); });
  line[0] = ' ';
  for (const Span& block : blocks.newpos) {
    // A codon block left without a whole codon marks nothing.
    const std::int32_t first = std::max(block.first, 1);
    const std::int32_t last = std::min(block.last, nupo);
    if (first <= last) std::fill(line.begin() + first, line.begin() + last + 1, '#');
  }
  return line;
}

Rows ungap(const Alignment& aln) {
  return allocating("newlet", [&] {
    // Which positions hold a gap in some sequence, in one pass over the rows.
    std::vector<unsigned char> gapped(static_cast<std::size_t>(aln.nupo) + 1, 0);
    for (std::int32_t s = 1; s <= aln.numseq; ++s) {
      const char* row = aln.let.row(s);
      for (std::int32_t p = 1; p <= aln.nupo; ++p)
        gapped[static_cast<std::size_t>(p)] |= row[p] == '-';
    }
    // The kept positions as runs of adjacent columns, so each row is copied run by run.
    struct Run {
      std::int32_t from;
      std::int32_t length;
    };
    std::vector<Run> runs;
    std::int32_t nupoung = 0;
    for (std::int32_t p = 1; p <= aln.nupo; ++p) {
      if (gapped[static_cast<std::size_t>(p)] != 0) continue;
      if (!runs.empty() && runs.back().from + runs.back().length == p) {
        ++runs.back().length;
      } else {
        runs.push_back({p, 1});
      }
      ++nupoung;
    }

    Rows newlet(aln.numseq, nupoung);
    for (std::int32_t s = 1; s <= aln.numseq; ++s) {
      const char* from = aln.let.row(s);
      char* to = newlet.row(s) + 1;
      for (const Run& run : runs) {
        // Most runs in real alignments are a few columns long; a library call each would
        // cost more than the copy.
        if (run.length >= 32) {
          std::memcpy(to, from + run.from, static_cast<std::size_t>(run.length));
        } else {
          for (std::int32_t i = 0; i < run.length; ++i) to[i] = from[run.from + i];
        }
        to += run.length;
      }
    }
    return newlet;
  });
}

}  // namespace selvane
