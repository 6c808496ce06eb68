// NBRF/PIR: the marker of the sequence type and the name, a blank description line, the
// residues grouped by ten, sixty a line, and '*'.
#include <string>

#include "output/alignment_formats.h"

namespace selvane {

void write_pir(Writer& out, const AlignmentContent& content, SeqType seq_type) {
  const std::string_view marker = pir_marker(seq_type);
  std::string gathered;
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    out.write(marker);
    out.write(content.names[static_cast<std::size_t>(n)]);
    out.write("\n \n");
    put_grouped(out, content, n, gathered);
    out.write("*\n\n");
  }
}

}  // namespace selvane
