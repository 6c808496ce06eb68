// Downstream tree builders read what selvane writes: trees built from the selected blocks of a
// bundled example hold every sequence of it, in the input's format and in the FASTA, PHYLIP, NEXUS
// and Clustal of --out-format. Skipped where the programs are not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

}  // namespace
}  // namespace selvane

namespace selvane {
namespace {

// The README's Snakemake workflow runs as written, every rule with --strict, on three genes of
// the same five taxa: every job ends with status 0 and leaves the outputs it declares.
TEST(Downstream, TheReadmesSnakemakeWorkflowRuns) {
  if (testing::run_program("sh", {"-c", "command -v snakemake"}, ".").status != 0) {
    GTEST_SKIP() << "Snakemake is not installed";
  }
  const std::string readme = testing::read_file(testing::source_dir() / "README.md");
  const std::size_t start = readme.find("```python\n") + 10;
  TempDir dir;
  testing::write_file(dir / "Snakefile", readme.substr(start, readme.find("```", start) - start));
  const char* rows[] = {"MKVLAAGLLAPQWSTRLLKEACDEFGHIKL", "MKVLAAGLLAPQWSTRLLKDACDEFGHIKL",
                        "MKILAAGLLAPQWSTRLMKEACDEFGHVKL", "MKVLAAGLLAPHWSTRLLKEACDEYGHIKL",
                        "MKVLSAGLLAPQWSTRLLKEACDEFGHIKM"};
  for (const char* gene : {"cox1", "ef1a", "rpl5"}) {
    std::string text;
    for (int t = 0; t < 5; ++t) text += ">taxon" + std::to_string(t) + "\n" + rows[t] + "\n";
    testing::write_file(dir / "aln" / (std::string(gene) + ".fas"), text);
  }
  const std::string path = fs::path(SELVANE_BINARY).parent_path().string();
  const auto run = run_program(
      "sh", {"-c", "PATH='" + path + "':$PATH snakemake --cores 1 --quiet"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.output << run.errors;
  for (const char* file : {"aln/cox1.fas-sv", "aln/rpl5.fas-sv.txt", "aln/genes.txt-sv.seq"}) {
    EXPECT_TRUE(testing::file_exists(dir / file)) << file;
  }
}

}  // namespace
}  // namespace selvane
