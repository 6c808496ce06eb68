// PHYLIP, the relaxed sequential form: a line "numseq width", then per sequence its name, one
// blank and all its characters on one line; and the names as PHYLIP writes them.
#include <string>
#include <unordered_map>

#include "output/alignment_formats.h"

namespace selvane {

std::string phylip_name(std::string_view name) {
  std::string written(name);
  for (char& c : written) {
    if (c == ' ' || c == '\t') c = '_';
  }
  return written;
}

PhylipNames check_phylip_names(std::span<const std::string> names) {
  PhylipNames found;
  std::unordered_map<std::string, std::int32_t> seen;
  for (std::size_t n = 1; n < names.size(); ++n) {
    std::string written = phylip_name(names[n]);
    if (written != names[n]) ++found.renamed;
    const auto [at, added] = seen.emplace(std::move(written), static_cast<std::int32_t>(n));
    if (!added && found.clash_first == 0) {
      found.clash_first = at->second;
      found.clash_second = static_cast<std::int32_t>(n);
    }
  }
  return found;
}

void write_phylip(Writer& out, const AlignmentContent& content, SeqType /*seq_type*/) {
  out.number(content.numseq);
  out.put(' ');
  out.number(content.width());
  out.put('\n');
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    out.write(phylip_name(content.names[static_cast<std::size_t>(n)]));
    out.put(' ');
    for_each_stretch(content, n, [&](std::string_view chars) { out.write(chars); });
    out.put('\n');
  }
}

}  // namespace selvane
