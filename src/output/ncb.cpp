// The nonconserved blocks file: every sequence reduced to the positions outside all blocks.
#include <string_view>

#include "core/writer.h"
#include "output/entry.h"
#include "output/writers.h"

namespace selvane {

void savencb(const std::string& path, const RunState& st, const Alignment& aln,
             const Blocks& blocks) {
  Writer out = Writer::create(path, st.posix_exit == 1);
  const std::int32_t count = blocks.count();
  for (std::int32_t n = 1; n <= aln.numseq; ++n) {
    begin_entry(out, st.fileformat, st.seq_type, aln.name[static_cast<std::size_t>(n)]);
    ResidueGrouping grouping(out);
    const char* row = aln.let.row(n);
    // Stretch k lies between block k and block k + 1; the sentinels 0 and nupo + 1 of newpos
    // make the stretches before the first and after the last block (or the whole row, when
    // there is no block) come out the same way.
    for (std::int32_t k = 0; k <= count; ++k) {
      const std::int32_t from = blocks.newpos[static_cast<std::size_t>(2 * k)] + 1;
      const std::int32_t to = blocks.newpos[static_cast<std::size_t>(2 * k + 1)] - 1;
      if (to >= from) {
        grouping.put(std::string_view(row + from, static_cast<std::size_t>(to - from + 1)));
      }
    }
    end_entry(out, st.fileformat);
  }
  out.close();
}

}  // namespace selvane
