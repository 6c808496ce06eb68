// Downstream tree builders read what selvane writes: trees built from the selected blocks of a
// bundled example hold every sequence of it, in the input's format and in the FASTA, PHYLIP, NEXUS
// and Clustal of --out-format; the Snakemake workflow runs end to end. Skipped where the programs
// are not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "e2e/run_parse.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::find_program;
using testing::read_file;
using testing::run_program;
using testing::run_selvane;
using testing::TempDir;

// The labels of the leaves of a Newick tree, in their order. A leaf label follows '(' or ','
// (or starts the tree); a label after ')' names an inner node (a support value) and is skipped.
// Quoted labels ('it''s') and comments ([...]) are understood.
std::vector<std::string> newick_leaves(const std::string& tree) {
  std::vector<std::string> leaves;
  bool leaf_position = true;
  std::size_t i = 0;
  while (i < tree.size()) {
    const char c = tree[i];
    if (c == '[') {
      const std::size_t end = tree.find(']', i);
      i = end == std::string::npos ? tree.size() : end + 1;
      continue;
    }
    if (c == '(' || c == ',') {
      leaf_position = true;
      ++i;
      continue;
    }
    if (c == ')' || c == ';') {
      leaf_position = false;
      ++i;
      continue;
    }
    if (c == ':') {
      // A branch length: up to the next structural character.
      while (i < tree.size() && std::string_view(",();[").find(tree[i]) == std::string::npos) ++i;
      continue;
    }
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
      ++i;
      continue;
    }
    std::string label;
    if (c == '\'') {
      for (++i; i < tree.size(); ++i) {
        if (tree[i] == '\'') {
          if (i + 1 < tree.size() && tree[i + 1] == '\'') {
            label += '\'';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        label += tree[i];
      }
    } else {
      while (i < tree.size() &&
             std::string_view(":,();[ \n\r\t").find(tree[i]) == std::string::npos) {
        label += tree[i++];
      }
    }
    if (leaf_position) leaves.push_back(label);
    leaf_position = false;
  }
  return leaves;
}

TEST(NewickLeaves, FindsLeafLabelsOnly) {
  struct Case {
    std::string tree;
    std::vector<std::string> leaves;
  };
  const std::vector<Case> cases = {
      {"(a,b,c);", {"a", "b", "c"}},
      {"(sp|P1|X_HUMAN:0.1,(b:0.2,c:0.3)0.93:0.05,d);", {"sp|P1|X_HUMAN", "b", "c", "d"}},
      {"((a,b)inner,'c d''e'[comment]:1e-05)root;\n", {"a", "b", "c d'e"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(newick_leaves(c.tree), c.leaves) << c.tree;
  }
}

struct Selected {
  std::vector<std::string> names;  // sequence names of the input, sorted
  int positions = 0;               // residues per sequence in the selected-blocks file
};

// Runs selvane on the bundled protein example in `dir`; its selected blocks go to
// proteases.fas-sv, in FASTA, ten residues to a group.
Selected select_blocks(const TempDir& dir) {
  const std::string input = read_file(testing::source_dir() / "examples/proteases.fas");
  testing::write_file(dir / "proteases.fas", input);
  const auto run = run_selvane({"proteases.fas", "-p=n", "--posix-exit"}, dir.path());
  EXPECT_EQ(run.status, 0) << run.output;

  Selected selected;
  for (std::size_t at = 0; at < input.size();) {
    std::size_t end = input.find('\n', at);
    if (end == std::string::npos) end = input.size();
    std::string line = input.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '>') selected.names.push_back(line.substr(1));
    at = end + 1;
  }
  std::sort(selected.names.begin(), selected.names.end());

  const std::string blocks = read_file(dir / "proteases.fas-sv");
  const std::size_t first = blocks.find('\n') + 1;
  const std::size_t next = blocks.find('>', first);
  for (std::size_t i = first; i < next && i < blocks.size(); ++i) {
    if (blocks[i] != ' ' && blocks[i] != '\n') ++selected.positions;
  }
  return selected;
}

std::vector<std::string> sorted_leaves(const std::string& tree) {
  std::vector<std::string> leaves = newick_leaves(tree);
  std::sort(leaves.begin(), leaves.end());
  return leaves;
}

TEST(Downstream, IqTreeBuildsATreeOfEverySequenceFromTheSelectedBlocks) {
  const std::string iqtree = find_program({"iqtree2", "iqtree"});
  if (iqtree.empty()) GTEST_SKIP() << "IQ-TREE is not installed";
  TempDir dir;
  const Selected selected = select_blocks(dir);
  ASSERT_GT(selected.positions, 0);

  // A fixed model, one thread and a fixed seed keep it to a few seconds and repeatable.
  const auto run = run_program(
      iqtree, {"-s", "proteases.fas-sv", "-m", "LG", "-nt", "1", "-seed", "1", "-redo", "-quiet"},
      dir.path());
  ASSERT_EQ(run.status, 0) << run.output << run.errors;
  EXPECT_EQ(sorted_leaves(read_file(dir / "proteases.fas-sv.treefile")), selected.names);
  // It read every residue of the blocks, across the blanks that group them by ten.
  const std::string expected = "Alignment has " + std::to_string(selected.names.size()) +
                               " sequences with " + std::to_string(selected.positions) + " columns";
  EXPECT_NE(read_file(dir / "proteases.fas-sv.log").find(expected), std::string::npos) << expected;
}

TEST(Downstream, FastTreeBuildsATreeOfEverySequenceFromTheSelectedBlocks) {
  const std::string fasttree = find_program({"fasttree", "FastTree"});
  if (fasttree.empty()) GTEST_SKIP() << "FastTree is not installed";
  TempDir dir;
  const Selected selected = select_blocks(dir);
  ASSERT_GT(selected.positions, 0);

  const auto run = run_program(
      fasttree, {"-quiet", "-nopr", "-out", "tree.nwk", "proteases.fas-sv"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.output << run.errors;
  // Quiet, it says nothing unless something in the file surprised it.
  EXPECT_EQ(run.output + run.errors, "");
  EXPECT_EQ(sorted_leaves(read_file(dir / "tree.nwk")), selected.names);
}

// An NBRF/PIR input, which tree builders cannot read, written as FASTA, PHYLIP, NEXUS or Clustal
// into a folder of its own (its own folder may be read-only in a pipeline).
TEST(Downstream, IqTreeReadsAnNbrfInputWrittenInEveryTreeBuildersFormatElsewhere) {
  const std::string iqtree = find_program({"iqtree2", "iqtree"});
  if (iqtree.empty()) GTEST_SKIP() << "IQ-TREE is not installed";
  const std::string input = read_file(testing::source_dir() / "examples/made1.pir");
  std::vector<std::string> names;
  for (std::size_t at = input.find(">DL;"); at != std::string::npos;
       at = input.find("\n>DL;", at + 1)) {
    const std::size_t start = input.find(';', at) + 1;
    names.push_back(input.substr(start, input.find('\n', start) - start));
  }
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 20u);

  // The start of each format's file: FASTA drops the description line; PHYLIP counts sequences
  // and columns; NEXUS quotes a name with a '/' or '-'; Clustal starts with its header.
  const std::pair<std::string, std::string> formats[] = {
      {"fasta", ">H.sapiens_6.1/113836283-113836209\nGATTGATGCA"},
      {"phylip", "20 23\nH.sapiens_6.1/113836283-113836209 GATT"},
      {"nexus", "#NEXUS\n"},
      {"clustal", "CLUSTAL multiple sequence alignment\n\n\nH.sapiens_6.1/113836283-113836209 "},
  };
  for (const auto& [format, start] : formats) {
    SCOPED_TRACE(format);
    TempDir dir;
    testing::write_file(dir / "data/made1.pir", input);
    const auto run = run_selvane(
        {"data/made1.pir", "--out-format=" + format, "--outdir=out", "-p=n", "--strict"},
        dir.path());
    ASSERT_EQ(run.status, 0) << run.output << run.errors;
    EXPECT_EQ(testing::list_files(dir / "data"), std::vector<std::string>{"made1.pir"});
    const std::string written = read_file(dir / "out/made1.pir-sv");
    EXPECT_EQ(written.rfind(start, 0), 0u) << written.substr(0, 80);
    if (format == "nexus") {
      EXPECT_NE(written.find("\n'H.sapiens_6.1/113836283-113836209' "), std::string::npos);
    }

    const auto tree = run_program(iqtree,
                                  {"-s", "out/made1.pir-sv", "-m", "JC", "-fast", "-nt", "1",
                                   "-seed", "1", "-redo", "-quiet"},
                                  dir.path());
    ASSERT_EQ(tree.status, 0) << tree.output << tree.errors;
    EXPECT_EQ(sorted_leaves(read_file(dir / "out/made1.pir-sv.treefile")), names);
    EXPECT_NE(
        read_file(dir / "out/made1.pir-sv.log").find("Alignment has 20 sequences with 23 columns"),
        std::string::npos);
  }
}

// Runs Snakemake on workflow/Snakefile, copied with `folders` of the source tree into `dir`, as
// `command` (a shell command line), with the selvane just built first on the search path.
testing::RunResult run_workflow(const TempDir& dir, const std::string& command,
                                std::initializer_list<const char*> folders) {
  for (const char* folder : folders) {
    fs::copy(testing::source_dir() / folder, dir / folder, fs::copy_options::recursive);
  }
  const std::string path = fs::path(SELVANE_BINARY).parent_path().string();
  return run_program("sh", {"-c", "PATH='" + path + "':$PATH " + command}, dir.path());
}

bool snakemake_installed() {
  return !find_program({"snakemake"}).empty();
}

// Gene alignments of six taxa named TAXON@gene-row, evolved from one ancestor each with
// substitutions and gaps in every third stretch of 30. Gene cytb lacks a taxon; gene noise holds
// no more than two of a letter in a column, so that its selection is empty.
void write_genes(const fs::path& folder) {
  const std::vector<std::string> taxa = {"Homo_sapiens",      "Pan_troglodytes", "Mus_musculus",
                                         "Rattus_norvegicus", "Bos_taurus",      "Gallus_gallus"};
  std::mt19937 rng(5);
  for (const std::string gene : {"atp6", "cox1", "cytb", "noise"}) {
    std::string ancestor, text;
    for (int p = 0; p < 180; ++p) ancestor += "ACGT"[rng() % 4];
    for (std::size_t t = 0; t < taxa.size(); ++t) {
      if (gene == "cytb" && t == 3) continue;
      std::string row = ancestor;
      for (std::size_t p = 0; p < row.size(); ++p) {
        if (gene == "noise") row[p] = "AACCGG"[(p * 5 + t * 7 + p / 6) % 6];
        if (rng() % 100 < (p / 30 % 3 == 2 ? 40u : 3u)) row[p] = "ACGT-"[rng() % 5];
      }
      text += ">" + taxa[t] + "@" + gene + "-" + std::to_string(t) + "\n" + row + "\n";
    }
    testing::write_file(folder / (gene + ".fas"), text);
  }
}

// The workflow runs end to end on genes joined by taxon (and with IQ-TREE where it is
// installed): one job per gene, the empty gene listed in the summary and left out of the join.
TEST(Workflow, GenesAreSelectedOneByOneAndJoinedByTaxon) {
  if (!snakemake_installed()) GTEST_SKIP() << "Snakemake is not installed";
  TempDir dir;
  write_genes(dir / "genes");
  const bool tree = !find_program({"iqtree2"}).empty();
  const auto run = run_workflow(dir,
                                "snakemake -s workflow/Snakefile --cores 2 --quiet --config "
                                "genes=genes outdir=out join_options=--taxon-sep=@ "
                                "'tree_options=-fast -seed 1' tree=" +
                                    std::string(tree ? "true" : "false"),
                                {"workflow"});
  ASSERT_EQ(run.status, 0) << run.output << run.errors;

  const auto summary = testing::read_tsv(read_file(dir / "out/summary.tsv"));
  const std::vector<std::pair<std::string, std::string>> genes_taxa = {{"genes/atp6.fas", "6"},
                                                                       {"genes/cox1.fas", "6"},
                                                                       {"genes/cytb.fas", "5"},
                                                                       {"genes/noise.fas", "0"}};
  ASSERT_EQ(summary.size(), genes_taxa.size());
  for (std::size_t g = 0; g < genes_taxa.size(); ++g) {
    EXPECT_EQ(summary[g].at("alignment"), genes_taxa[g].first);
    EXPECT_EQ(summary[g].at("type"), "dna");  // read by its letters
    EXPECT_EQ(summary[g].at("taxa"), genes_taxa[g].second);
    EXPECT_EQ(summary[g].at("selected") == "0", g == 3) << genes_taxa[g].first;
  }
  const std::string partitions = read_file(dir / "out/supermatrix.seq.partitions");
  EXPECT_EQ(partitions.rfind("GTR+G, atp6.fas-sv = 1-", 0), 0u) << partitions;
  EXPECT_EQ(partitions.find("noise"), std::string::npos);
  EXPECT_EQ(read_file(dir / "out/supermatrix.seq.occupancy.tsv")
                .rfind("taxon\tatp6.fas-sv\tcox1.fas-sv\tcytb.fas-sv\tgenes\tresidues\n", 0),
            0u);
  EXPECT_TRUE(testing::file_exists(dir / "out/genes/cox1.fas-sv.sites.tsv"));
  if (tree) {
    EXPECT_EQ(sorted_leaves(read_file(dir / "out/tree/supermatrix.treefile")),
              (std::vector<std::string>{"Bos_taurus", "Gallus_gallus", "Homo_sapiens",
                                        "Mus_musculus", "Pan_troglodytes", "Rattus_norvegicus"}));
  }
}

// The README's example runs as written on the bundled examples, from the top of a copy of the
// repository.
TEST(Workflow, TheReadmesExampleRunsOnTheBundledFiles) {
  if (!snakemake_installed()) GTEST_SKIP() << "Snakemake is not installed";
  const std::string readme = read_file(testing::source_dir() / "README.md");
  const std::string marker =
      "<!-- workflow example: runs as written from the top of the repository -->\n```\n";
  const std::size_t start = readme.find(marker);
  ASSERT_NE(start, std::string::npos);
  const std::size_t from = start + marker.size();
  const std::string command = readme.substr(from, readme.find("```", from) - from);
  TempDir dir;
  const auto run = run_workflow(dir, command, {"workflow", "examples"});
  ASSERT_EQ(run.status, 0) << command << run.output << run.errors;
  const std::string summary = read_file(dir / "out/summary.tsv");
  EXPECT_NE(summary.find("\nexamples/globins4.fas\tprotein\t4\t"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\nexamples/proteases.fas\tprotein\t19\t"), std::string::npos);
  EXPECT_TRUE(testing::file_exists(dir / "out/supermatrix.seq"));
}

}  // namespace
}  // namespace selvane
