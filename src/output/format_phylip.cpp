// PHYLIP, the relaxed sequential form: a line "numseq width", then per sequence its name, one
// blank and all its characters on one line.
#include "output/alignment_formats.h"

namespace selvane {

void write_phylip(Writer& out, const AlignmentContent& content, SeqType /*seq_type*/) {
  out.number(content.numseq);
  out.put(' ');
  out.number(content.width());
  out.put('\n');
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    out.write(blanks_as_underscores(content.names[static_cast<std::size_t>(n)]));
    out.put(' ');
    for_each_stretch(content, n, [&](std::string_view chars) { out.write(chars); });
    out.put('\n');
  }
}

}  // namespace selvane
