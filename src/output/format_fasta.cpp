// FASTA: ">NAME", then the residues grouped by ten, sixty a line.
#include <string>

#include "output/alignment_formats.h"

namespace selvane {

void write_fasta(Writer& out, const AlignmentContent& content, SeqType /*seq_type*/) {
  std::string gathered;
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    out.put('>');
    out.write(content.names[static_cast<std::size_t>(n)]);
    out.put('\n');
    put_grouped(out, content, n, gathered);
    out.put('\n');
  }
}

}  // namespace selvane
