// The ungapped alignment file: the rows of the ungapped alignment under the input's names.
#include <string_view>

#include "core/writer.h"
#include "output/entry.h"
#include "output/writers.h"

namespace selvane {

void save_ung(const std::string& path, const RunState& st, const Alignment& aln,
              const Rows& newlet) {
  Writer out = Writer::create(path, st.posix_exit == 1);
  for (std::int32_t n = 1; n <= aln.numseq; ++n) {
    begin_entry(out, st.fileformat, st.seq_type, aln.name[static_cast<std::size_t>(n)]);
    ResidueGrouping grouping(out);
    grouping.put(std::string_view(newlet.row(n) + 1, static_cast<std::size_t>(newlet.width())));
    end_entry(out, st.fileformat);
  }
  out.close();
}

}  // namespace selvane
