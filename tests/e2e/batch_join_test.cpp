// Batches joined by taxon (--by-name) and their partition files, end to end through the binary.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::run_program;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

struct Entry {
  std::string name, row;
};

// The entries of a FASTA file as selvane writes it, the blanks and line ends of the residue
// grouping taken out of the rows.
std::vector<Entry> fasta_entries(const std::string& text) {
  std::vector<Entry> entries;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '>') {
      entries.push_back({line.substr(1), ""});
    } else if (!entries.empty()) {
      std::erase(line, ' ');
      entries.back().row += line;
    }
  }
  return entries;
}

struct Range {
  std::string name;
  long first, last;
};

std::vector<Range> partitions(const std::string& text) {
  std::vector<Range> ranges;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::size_t comma = line.find(", "), equals = line.find(" = "), dash = line.rfind('-');
    ranges.push_back({line.substr(comma + 2, equals - comma - 2),
                      std::stol(line.substr(equals + 3, dash - equals - 3)),
                      std::stol(line.substr(dash + 1))});
  }
  return ranges;
}

// A gene of `width` positions for the taxa `taxa`, named "TAXON@gene-row": every row a copy of
// one random sequence with `change` percent of its residues replaced, so that blocks are found.
std::string gene(const std::vector<std::string>& taxa, int width, int change, std::mt19937& rng,
                 const std::string& alphabet = "ACDEFGHIKLMNPQRSTVWY") {
  std::string root;
  for (int p = 0; p < width; ++p) root += alphabet[rng() % alphabet.size()];
  std::string text;
  for (std::size_t s = 0; s < taxa.size(); ++s) {
    std::string row = root;
    for (char& c : row) {
      if (static_cast<int>(rng() % 100) < change) c = alphabet[rng() % alphabet.size()];
    }
    text += ">" + taxa[s] + "@id" + std::to_string(rng() % 1000) + "\n" + row + "\n";
  }
  return text;
}

// The concatenation `concatenated` of the batch `genes` (in dir, in order), joined by taxon, with
// its partition file, against the files selvane wrote for each gene alone (its name + `suffix`):
// every taxon, in the order the genes first name it, holds the row of that taxon in each gene's
// own file, or gaps over that gene's width; the partition file gives each contributing gene's
// positions. Returns the concatenation's length.
long check_joined(const TempDir& dir, const std::vector<std::string>& genes,
                  const std::string& suffix, const std::string& concatenated, char separator) {
  const auto taxon = [separator](const std::string& name) {
    return name.substr(0, std::min(name.find(separator), name.find(' ')));
  };
  std::vector<std::string> order;
  std::map<std::string, std::string> want;
  std::vector<Range> ranges;
  long length = 0;
  for (const std::string& file : genes) {
    const auto rows = fasta_entries(read_file(dir / (file + suffix)));
    const std::size_t width = rows.empty() ? 0 : rows[0].row.size();
    for (const Entry& e : rows) {
      if (!want.contains(taxon(e.name))) {
        order.push_back(taxon(e.name));
        want[order.back()] = std::string(static_cast<std::size_t>(length), '-');
      }
    }
    for (auto& [key, row] : want) {
      row += std::string(width, '-');
      for (const Entry& e : rows) {
        if (taxon(e.name) == key) row.replace(static_cast<std::size_t>(length), width, e.row);
      }
    }
    if (width > 0) ranges.push_back({file, length + 1, length + static_cast<long>(width)});
    length += static_cast<long>(width);
  }
  const auto got = fasta_entries(read_file(dir / concatenated));
  EXPECT_EQ(got.size(), order.size()) << concatenated;
  for (std::size_t t = 0; t < got.size() && t < order.size(); ++t) {
    EXPECT_EQ(got[t].name, order[t]) << concatenated;
    EXPECT_EQ(got[t].row, want[order[t]]) << concatenated << " " << order[t];
  }
  const auto parts = partitions(read_file(dir / (concatenated + ".partitions")));
  EXPECT_EQ(parts.size(), ranges.size()) << concatenated;
  for (std::size_t k = 0; k < parts.size() && k < ranges.size(); ++k) {
    EXPECT_EQ(parts[k].name, ranges[k].name);
    EXPECT_EQ(parts[k].first, ranges[k].first) << parts[k].name;
    EXPECT_EQ(parts[k].last, ranges[k].last) << parts[k].name;
  }
  return length;
}

void check_batch(const TempDir& dir, const std::vector<std::string>& genes,
                 const std::vector<std::string>& extra, char separator) {
  std::string list;
  for (const std::string& g : genes) list += g + "\n";
  write_file(dir / "list.txt", list);
  std::vector<std::string> args = {"list.txt", "-a=y",      "-w=y",        "-u=y",
                                   "-p=n",     "--by-name", "--partitions"};
  args.insert(args.end(), extra.begin(), extra.end());
  const auto run = run_selvane(args, dir.path());
  ASSERT_EQ(run.status, 1) << run.output;
  const long blocks = check_joined(dir, genes, "-sv", "list.txt-sv.seq", separator);
  EXPECT_NE(run.output.find("Selvane alignment in batch: " + std::to_string(blocks) + " positions"),
            std::string::npos);
  check_joined(dir, genes, "--", "list.txt--.seq", separator);
}

// Genes that list their taxa in different orders and lack some: generated ones (one of them
// too variable to keep a block), and the real aphid genes of the corpus, of 18 to 20 taxa, with
// the rows of one reversed.
TEST(ByName, EveryTaxonHoldsItsOwnRowsOfEveryGene) {
  std::mt19937 rng(11);
  TempDir dir;
  write_file(dir / "g1.fas", gene({"T1", "T2", "T3", "T4", "T5"}, 70, 5, rng));
  write_file(dir / "g2.fas", gene({"T4", "T6", "T2", "T1"}, 45, 8, rng));
  write_file(dir / "g3.fas", gene({"T3", "T1", "T6", "T5", "T2", "T7"}, 30, 90, rng));
  write_file(dir / "g4.fas", gene({"T7", "T5", "T3"}, 64, 3, rng));
  check_batch(dir, {"g1.fas", "g2.fas", "g3.fas", "g4.fas"}, {"--taxon-sep=@"}, '@');

  if (!testing::corpus_available()) return;
  TempDir real;
  std::vector<std::string> genes;
  for (const char* id : {"10009", "10011", "10024", "10027", "10040"}) {
    const std::string file = std::string(id) + "at7524_aa.aln";
    const fs::path source = testing::corpus_dir() / "phykit" / file;
    if (!fs::exists(source)) GTEST_SKIP() << source << " is missing";
    std::string text = read_file(source);
    if (genes.size() == 1) {
      std::string reversed;
      for (const Entry& e : fasta_entries(text))
        reversed.insert(0, ">" + e.name + "\n" + e.row + "\n");
      text = reversed;
    }
    write_file(real / file, text);
    genes.push_back(file);
  }
  check_batch(real, genes, {}, ' ');
}

// Everything that stops a batch joined by taxon is found before any file is written.
TEST(ByName, ErrorsStopTheBatchBeforeAnyFileIsWritten) {
  const std::string four =
      ">A@1\nMKVLAAGLLAPQ\n>B@1\nMKVLAAGLLAPQ\n>C@1\nMKVLAAGLLAPE\n>D@1\nMKVLAA"
      "GLLAPE\n";
  const std::string twice = ">C@2\nMKVLAAGLLAPQ\n>A@2\nMKVLAAGLLAPQ\n>C@3\nMKVLAAGLLAPE\n";
  const std::string eight =
      ">a\nMKVL\n>b\nMKVL\n>c\nMKVL\n>d\nMKVL\n>e\nMKVL\n>f\nMKVL\n>g\nMKVL\n>h\nMKVL\n";
  const struct {
    std::string second;  // empty: g2.fas is missing
    std::vector<std::string> args;
    std::string message, detail;
    std::string first = {};  // empty: `four`
  } cases[] = {
      {twice,
       {"--taxon-sep=@"},
       "Taxon found twice in an alignment",
       "g2.fas: sequences 1 and 3 both belong to the taxon \"C\""},
      {">C@2\nMK\n>@2\nMK\n",
       {"--taxon-sep=@"},
       "Sequence name without taxon",
       "g2.fas: the name \"@2\" gives an empty taxon"},
      {four,
       {"--taxon-regex=^[A-C]"},
       "Sequence name without taxon",
       "g1.fas: the taxon pattern does not match the name \"D@1\""},
      {four, {"--taxon-regex=(A"}, "Taxon pattern not valid", "--taxon-regex=\"(A\": "},
      {four,
       {"--taxon-sep=@#"},
       "Taxon separator not valid",
       "--taxon-sep=\"@#\": the separator must be one character"},
      {four,
       {"--taxon-sep=@", "--taxon-regex=x"},
       "Taxon separator and taxon pattern both given",
       "--taxon-sep and --taxon-regex cannot be used together"},
      {eight,
       {"-b1=3"},
       "Parameter b1 out of range for an alignment",
       "g2.fas: b1 = 3 is outside 5..6 for its 8 sequences"},
      {">x\nMK\n>y\nMK\n",
       {"-b2=4"},
       "Parameter b2 out of range for an alignment",
       "g2.fas: b2 = 4 is outside 2..2 for its 2 sequences"},
      // Refused by the command line for the first alignment: a stop like for the others.
      {eight,
       {"-b1=4"},
       "Parameter b1 out of range for an alignment",
       "g1.fas: b1 = 4 is outside 3..3 for its 4 sequences (listed on line 1 of list.txt)"},
      {"",
       {},
       "File not opened",
       "cannot open input \"g2.fas\": No such file or directory (listed on line 2 of list.txt)"},
      // Taxa of different alignments whose PHYLIP names coincide.
      {">Homo_sapiens|2\nMK\n>b|2\nMK\n",
       {"--taxon-regex=^([^|]+)", "--out-format=phylip"},
       "",
       "list.txt (the concatenations): taxon 1 (\"Homo sapiens\") and taxon 3 (\"Homo_sapiens\") "
       "have the same PHYLIP name \"Homo_sapiens\"",
       ">Homo sapiens|1\nMK\n>b|1\nMK\n"},
      // NEXUS readers take names without case.
      {">homo|2\nMK\n>b|2\nMK\n",
       {"--taxon-regex=^([^|]+)", "--out-format=nexus"},
       "",
       "list.txt (the concatenations): taxon 1 (\"Homo\") and taxon 3 (\"homo\") have the same "
       "NEXUS name \"homo\" (NEXUS readers compare names without case",
       ">Homo|1\nMK\n>b|1\nMK\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    write_file(dir / "g1.fas", c.first.empty() ? four : c.first);
    if (!c.second.empty()) write_file(dir / "g2.fas", c.second);
    write_file(dir / "list.txt", "g1.fas\ng2.fas\n");
    const auto before = testing::list_files(dir.path());
    std::vector<std::string> args = {"list.txt", "-a=y", "--by-name"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = run_selvane(args, dir.path());
    SCOPED_TRACE(c.detail);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.output.ends_with("\n" + c.message + "\n\nExecution terminated\n"))
        << run.output;
    // A warning may come before the line of the stop.
    EXPECT_NE(run.errors.find("selvane: " + c.detail), std::string::npos) << run.errors;
    EXPECT_EQ(testing::list_files(dir.path()), before);
  }
}

// Supermatrices with honest missing data: 36 taxa, each found in each gene with its own chance
// (15 to 75 %, about 45 % of the cells filled, as in real phylogenomic sets), 3 to 12 genes.
// Joined with the right rule they draw no warning that the rule shares no taxa, even under
// --strict; read by the first word, where every name "TAXON@id" is a taxon of its own, they do,
// and --strict then stops before writing anything.
TEST(ByName, MissingTaxaAreNotTakenForATaxonRuleThatSharesNothing) {
  const std::string warning = "the taxon rule seems to keep more of a name";
  std::int64_t cells = 0, filled = 0;
  for (const std::size_t genes : {3U, 4U, 6U, 12U}) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
      SCOPED_TRACE(std::to_string(genes) + " genes, seed " + std::to_string(seed));
      std::mt19937 rng(static_cast<unsigned>(genes * 100 + seed));
      // In thousandths.
      std::vector<unsigned> chance;
      for (int t = 0; t < 36; ++t) chance.push_back(150 + static_cast<unsigned>(rng() % 600));
      TempDir dir;
      std::string list;
      for (std::size_t g = 0; g < genes; ++g) {
        std::vector<std::string> taxa;
        while (taxa.size() < 4) {
          taxa.clear();
          for (int t = 0; t < 36; ++t) {
            if (rng() % 1000 < chance[static_cast<std::size_t>(t)]) {
              taxa.push_back("Taxon_" + std::to_string(t));
            }
          }
        }
        cells += 36;
        filled += static_cast<std::int64_t>(taxa.size());
        const std::string file = "g" + std::to_string(g) + ".fas";
        write_file(dir / file, gene(taxa, 40 + static_cast<int>(rng() % 40), 8, rng));
        list += file + "\n";
      }
      write_file(dir / "list.txt", list);
      const std::vector<std::string> args = {"list.txt", "-a=y", "-s=n", "-p=n", "--by-name"};
      std::vector<std::string> right = args;
      right.insert(right.end(), {"--taxon-sep=@", "--strict"});
      const auto honest = run_selvane(right, dir.path());
      EXPECT_EQ(honest.status, 0) << honest.errors;
      EXPECT_EQ(honest.errors.find(warning), std::string::npos) << honest.errors;
      if (seed > 1) continue;
      const auto before = testing::list_files(dir.path());
      std::vector<std::string> wrong = args;
      wrong.push_back("--strict");
      const auto stopped = run_selvane(wrong, dir.path());
      EXPECT_EQ(stopped.status, 1);
      EXPECT_NE(stopped.errors.find(warning), std::string::npos) << stopped.errors;
      EXPECT_EQ(testing::list_files(dir.path()), before);
      const auto warned = run_selvane(args, dir.path());
      EXPECT_NE(warned.errors.find(warning), std::string::npos) << warned.errors;
      EXPECT_TRUE(testing::file_exists(dir / "list.txt-sv.seq"));
    }
  }
  EXPECT_NEAR(static_cast<double>(filled) / static_cast<double>(cells), 0.45, 0.05);
}

// IQ-TREE reads the partition file beside a concatenation joined by taxon, in either form, with
// its own models and one subset per line of the right number of sites. Skipped where it is not
// installed.
TEST(ByName, IqTreeReadsThePartitionFileWithTheRightLengths) {
  if (testing::find_program({"iqtree2"}).empty()) GTEST_SKIP() << "iqtree2 is not installed";
  const struct {
    std::string type, alphabet;
    std::vector<int> widths;
    std::vector<std::string> subsets;  // name, sequences present, sites
    std::vector<std::string> filters = {};
    // The NEXUS form, read by -p or by -Q (each gene its own branch lengths); its genes are
    // named "g-N.fas", which NEXUS quotes.
    std::string nexus_option = {};
  } cases[] = {
      {"-t=D", "ACGT", {30, 24}, {"g0.fas 4 30", "g1.fas 5 24"}},
      {"-t=P", "ACDEFGHIKLMNPQRSTVWY", {20, 12}, {"g0.fas 4 20", "g1.fas 5 12"}},
      {"-t=C",
       "ACGT",
       {30, 23},
       {"g0.fas_codon1 4 10", "g0.fas_codon2 4 10", "g0.fas_codon3 4 10", "g1.fas_codon1 5 8",
        "g1.fas_codon2 5 8", "g1.fas_codon3 5 7"}},
      // The partition file follows the occupancy filters: E, found once, is left out, then g0.
      {"-t=P", "ACDEFGHIKLMNPQRSTVWY", {20, 12}, {"g0.fas 4 20", "g1.fas 4 12"}, {"--min-genes=2"}},
      {"-t=P", "ACDEFGHIKLMNPQRSTVWY", {20, 12}, {"g1.fas 5 12"}, {"--min-taxa=5"}},
      {"-t=P", "ACDEFGHIKLMNPQRSTVWY", {20, 12}, {"g-0.fas 4 20", "g-1.fas 5 12"}, {}, "-p"},
      {"-t=C",
       "ACGT",
       {30, 23},
       {"g-0.fas_codon1 4 10", "g-0.fas_codon2 4 10", "g-0.fas_codon3 4 10", "g-1.fas_codon1 5 8",
        "g-1.fas_codon2 5 8", "g-1.fas_codon3 5 7"},
       {},
       "-Q"},
  };
  const std::vector<std::vector<std::string>> taxa = {{"A", "B", "C", "D"},
                                                      {"E", "A", "C", "D", "B"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type + " " + c.nexus_option);
    std::mt19937 rng(3);
    TempDir dir;
    const std::string stem = c.nexus_option.empty() ? "g" : "g-";
    for (std::size_t g = 0; g < c.widths.size(); ++g) {
      write_file(dir / (stem + std::to_string(g) + ".fas"),
                 gene(taxa[g], c.widths[g], 60, rng, c.alphabet));
    }
    write_file(dir / "list.txt", stem + "0.fas\n" + stem + "1.fas\n");
    std::vector<std::string> args = {
        "list.txt",      "-c=y",
        "-s=n",          "-p=n",
        c.type,          "--by-name",
        "--taxon-sep=@", c.nexus_option.empty() ? "--partitions" : "--partitions=nexus"};
    args.insert(args.end(), c.filters.begin(), c.filters.end());
    const auto own = run_selvane(args, dir.path());
    ASSERT_EQ(own.status, 1) << own.output;
    if (!c.nexus_option.empty()) {
      EXPECT_EQ(read_file(dir / "list.txt.seq.partitions").rfind("#nexus\nbegin sets;\n", 0), 0u);
    }
    const auto run = run_program(
        "iqtree2",
        {"-s", "list.txt.seq", c.nexus_option.empty() ? "-p" : c.nexus_option,
         "list.txt.seq.partitions", "-fast", "-nt", "1", "-seed", "1", "-redo", "-quiet"},
        dir.path());
    ASSERT_EQ(run.status, 0) << run.output;

    // The table of subsets in the log: Subset Type Seqs Sites Infor Invar Model Name.
    std::istringstream log(read_file(dir / "list.txt.seq.partitions.log"));
    std::string line;
    while (std::getline(log, line) && line.rfind("Subset\t", 0) != 0) {
    }
    std::vector<std::string> subsets;
    const std::string model = c.type == "-t=P" ? "LG+G" : "GTR+G";
    while (std::getline(log, line) && line.rfind("Degree", 0) != 0) {
      if (line.rfind("WARNING", 0) == 0) continue;
      std::vector<std::string> field;
      std::istringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) field.push_back(cell);
      ASSERT_EQ(field.size(), 8U) << line;
      EXPECT_EQ(field[6], model) << line;
      subsets.push_back(field[7] + " " + field[2] + " " + field[3]);
    }
    EXPECT_EQ(subsets, c.subsets) << c.type;
  }
}

}  // namespace
}  // namespace selvane
