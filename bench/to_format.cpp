// Writes a FASTA alignment (from gen_alignment) in another format, laid out the way the
// programs that write that format commonly do, for the benchmark of the input formats.
//
//   to_format phylip|clustal|stockholm|nexus < ALIGNMENT.fas > ALIGNMENT.OTHER
//
// phylip: relaxed interleaved, as Biopython writes it: names padded to the longest, blocks of
//         50 residues in groups of ten, a blank line between blocks;
// clustal: as Clustal writes it: 60 residues a line, a conservation line under each block;
// stockholm: as Pfam writes it: each sequence on one line, then "//";
// nexus: as MrBayes users write it: GAP and MISSING, INTERLEAVE, 60 a line.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Alignment {
  std::vector<std::string> names;
  std::vector<std::string> rows;
  std::size_t longest_name = 0;
};

Alignment read_fasta(std::string_view text) {
  Alignment al;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    if (line.starts_with('>')) {
      al.names.emplace_back(line.substr(1));
      al.rows.emplace_back();
      if (line.size() - 1 > al.longest_name) al.longest_name = line.size() - 1;
    } else if (!al.rows.empty()) {
      al.rows.back().append(line);
    }
    at = end + 1;
  }
  return al;
}

std::string padded(const std::string& name, std::size_t width) {
  return name + std::string(width > name.size() ? width - name.size() : 1, ' ');
}

// Blocks of `width` residues: each line `name` + residues (grouped by ten when `grouped`).
void blocks(std::string& out, const Alignment& al, std::size_t width, bool names_every_block,
            bool grouped, const std::string& after_block) {
  const std::size_t length = al.rows.empty() ? 0 : al.rows[0].size();
  const std::size_t pad = al.longest_name + 3;
  for (std::size_t p = 0; p < length; p += width) {
    for (std::size_t s = 0; s < al.rows.size(); ++s) {
      out += names_every_block || p == 0 ? padded(al.names[s], pad) : std::string(pad, ' ');
      const std::string_view part = std::string_view(al.rows[s]).substr(p, width);
      for (std::size_t g = 0; g < part.size(); g += 10) {
        if (grouped && g > 0) out += ' ';
        out.append(part.substr(g, 10));
      }
      out += '\n';
    }
    out += after_block;
    if (out.size() > (1u << 22)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view format = argc == 2 ? argv[1] : "";
  std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  const Alignment al = read_fasta(text);
  text.clear();
  text.shrink_to_fit();
  if (al.rows.empty()) {
    std::fprintf(stderr, "to_format: no FASTA alignment on standard input\n");
    return 2;
  }
  const std::string ntax = std::to_string(al.rows.size());
  const std::string nchar = std::to_string(al.rows[0].size());
  std::string out;
  if (format == "phylip") {
    out = ntax + " " + nchar + "\n";
    blocks(out, al, 50, false, true, "\n");
  } else if (format == "clustal") {
    out = "CLUSTAL W (1.83) multiple sequence alignment\n\n\n";
    blocks(out, al, 60, true, false, std::string(al.longest_name + 3, ' ') + "\n\n");
  } else if (format == "stockholm") {
    out = "# STOCKHOLM 1.0\n#=GF ID bench\n";
    blocks(out, al, al.rows[0].size(), true, false, "//\n");
  } else if (format == "nexus") {
    out = "#NEXUS\nbegin data;\n  dimensions ntax=" + ntax + " nchar=" + nchar +
          ";\n  format gap=- missing=? interleave;\nmatrix\n";
    blocks(out, al, 60, true, false, "\n");
    out += ";\nend;\n";
  } else {
    std::fprintf(stderr, "usage: to_format phylip|clustal|stockholm|nexus < FASTA > OTHER\n");
    return 2;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
