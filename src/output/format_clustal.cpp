// Clustal: a header line, then blocks of 60 columns, one line per sequence (its name, padded to
// a column, and its characters), a blank line after each block. Aligners add a line of
// conservation marks under each block, which readers skip; it is left out.
#include <algorithm>
#include <string>
#include <vector>

#include "output/alignment_formats.h"

namespace selvane {

void write_clustal(Writer& out, const AlignmentContent& content, SeqType /*seq_type*/) {
  constexpr std::int64_t kBlock = 60;
  std::vector<std::string> names;
  std::vector<SequenceCursor> sequences;
  names.reserve(static_cast<std::size_t>(content.numseq));
  sequences.reserve(static_cast<std::size_t>(content.numseq));
  std::size_t column = 0;
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    names.push_back(blanks_as_underscores(content.names[static_cast<std::size_t>(n)]));
    column = std::max(column, names.back().size());
    sequences.emplace_back(content, n);
  }
  out.write("CLUSTAL multiple sequence alignment\n\n\n");
  const std::int64_t width = content.width();
  // An alignment without a column still names its sequences, in one block of names alone.
  for (std::int64_t done = 0; done < width || done == 0; done += kBlock) {
    const std::int64_t columns = std::min(kBlock, width - done);
    for (std::size_t i = 0; i < names.size(); ++i) {
      out.write(names[i]);
      if (columns > 0) out.fill(' ', column - names[i].size() + 6);
      sequences[i].take(columns, [&](std::string_view chars) { out.write(chars); });
      out.put('\n');
    }
    out.put('\n');
  }
}

}  // namespace selvane
