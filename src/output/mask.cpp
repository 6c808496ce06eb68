// The mask file: each sequence followed by its conserved-residue mask, then the selection line.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/output_file.h"
#include "output/conserved.h"
#include "output/entry.h"
#include "output/writers.h"

namespace selvane {

void savemask(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
              const Alignment& aln, const Classification& cls, const std::string& letselvane) {
  const std::vector<char> conserved = conserved_letters(cls, aln.nupo, params.negval);
  const char* const letters = conserved.data();
  const auto nupo = static_cast<std::size_t>(aln.nupo);
  // One sequence's mask, rebuilt per sequence so the whole mask is never held at once.
  std::string mask(nupo, '?');
  // Always NBRF/PIR, whatever the input's format.
  const std::string_view marker = pir_marker(params.seq_type);

  Writer out = create_output_file(path, outputs);
  for (std::int32_t n = 1; n <= aln.numseq; ++n) {
    const std::string& name = aln.name[static_cast<std::size_t>(n)];
    const char* row = aln.let.row(n);

    out.write(marker);
    out.write(name);
    out.write("\n\n");
    {
      ResidueGrouping grouping(out);
      grouping.put(std::string_view(row + 1, nupo));
    }
    out.write("*\n\n");

    char* const marks = mask.data();
    for (std::size_t p = 1; p <= nupo; ++p) {
      // '?' is '@' - 1: a sum rather than a choice, which the compiler would make a branch.
      marks[p - 1] = static_cast<char>('?' + is_conserved(letters, row[p], p));
    }
    out.write(marker);
    out.write(name);
    out.write("#Mask\n\n");
    {
      ResidueGrouping grouping(out);
      grouping.put(mask);
    }
    out.write("*\n\n");
  }

  // The selection entry is marked as protein for every sequence type.
  out.write(">P1;Selvane\n\n");
  {
    ResidueGrouping grouping(out);
    const std::string_view line(letselvane);
    grouping.put(line.substr(std::min<std::size_t>(1, line.size()), nupo));
  }
  out.write("*\n\n");
  out.close();
}

}  // namespace selvane
