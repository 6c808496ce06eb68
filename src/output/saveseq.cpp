// The selected-blocks file: every sequence reduced to the positions of the selected blocks.
#include <string_view>

#include "core/writer.h"
#include "output/entry.h"
#include "output/writers.h"

namespace selvane {

void saveseq(const std::string& path, const RunState& st, const Alignment& aln,
             const Blocks& blocks) {
  Writer out = Writer::create(path, st.posix_exit == 1);
  for (std::int32_t n = 1; n <= aln.numseq; ++n) {
    begin_entry(out, st.fileformat, st.seq_type, aln.name[static_cast<std::size_t>(n)]);
    ResidueGrouping grouping(out);
    const char* row = aln.let.row(n);
    for (std::int32_t k = 1; k <= blocks.count(); ++k) {
      const std::int32_t first = blocks.first(k);
      const std::int32_t last = blocks.last(k);
      // A codon block left without a whole codon has first == last + 1 and writes nothing.
      if (last >= first) {
        grouping.put(std::string_view(row + first, static_cast<std::size_t>(last - first + 1)));
      }
    }
    end_entry(out, st.fileformat);
  }
  out.close();
}

}  // namespace selvane
