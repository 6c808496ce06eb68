// --svg through the binary: one overview more beside each alignment's files and, for a batch's
// concatenated selected blocks, one with its genes; everything else as without it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/expected.h"
#include "support/harness.h"
#include "support/svg_check.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::list_files;
using testing::read_file;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

const std::string kDash = "\xE2\x80\x93";

// The well-formed, rendered overview at `path`, at most 1,600 pixels wide and under 1 MB.
void expect_sound_overview(const fs::path& path) {
  SCOPED_TRACE(path.filename().string());
  ASSERT_TRUE(testing::file_exists(path));
  const std::string doc = read_file(path);
  EXPECT_EQ(testing::xml_error(doc), "");
  const std::size_t width = doc.find(" width=\"");
  ASSERT_NE(width, std::string::npos);
  EXPECT_LE(std::atoi(doc.c_str() + width + 8), 1600);
  EXPECT_LT(doc.size(), 1000000u);
  if (testing::rsvg_available()) {
    EXPECT_TRUE(testing::renders_with_rsvg(path));
  }
}

// The files of a directory with their contents.
std::vector<std::pair<std::string, std::string>> contents(const fs::path& dir) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const std::string& name : list_files(dir)) files.emplace_back(name, read_file(dir / name));
  return files;
}

std::string without_tags(const std::string& text) {
  std::string out;
  bool in_tag = false;
  for (const char c : text) {
    if (c == '<' || c == '>') {
      in_tag = c == '<';
    } else if (!in_tag) {
      out += c;
    }
  }
  return out;
}

// Every kind of sequence and every output: the same output and files as without --svg, plus
// <input><extension>.svg, whose parameters read as the results file words them.
TEST(SvgRun, AddsOneOverviewAndChangesNothingElse) {
  struct Row {
    std::string input, type;
    std::vector<std::string> options;
    std::string overview, results;
  };
  const Row rows[] = {
      {"outputs_all_protein_html/input/sub/aln.fas",
       "Protein",
       {"-p=t"},
       "aln.fas-sv.svg",
       "aln.fas-sv.txt"},
      {"outputs_all_pir_dna_html/input/sub/aln.pir",
       "DNA",
       {"-e=.x", "-p=t"},
       "aln.pir.x.svg",
       "aln.pir.x.txt"},
      {"outputs_all_codons_short/input/sub/cod.fas",
       "Codons",
       {"-t=C", "-p=t", "-b5=h"},
       "cod.fas-sv.svg",
       "cod.fas-sv.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    const std::string name = fs::path(row.input).filename().string();
    std::vector<std::string> args = {name, "-k=y", "-d=y", "-n=y", "-u=y"};
    args.insert(args.end(), row.options.begin(), row.options.end());
    TempDir plain, with_svg;
    fs::copy_file(testing::case_dir(row.input), plain / name);
    fs::copy_file(testing::case_dir(row.input), with_svg / name);
    const auto before = run_selvane(args, plain.path());
    args.push_back("--svg");
    const auto after = run_selvane(args, with_svg.path());

    EXPECT_EQ(after.status, before.status);
    EXPECT_EQ(after.output, before.output);
    expect_sound_overview(with_svg / row.overview);
    const std::string doc = read_file(with_svg / row.overview);
    fs::remove(with_svg / row.overview);
    fs::remove(with_svg / (row.overview.substr(0, row.overview.size() - 4) + ".png"));
    EXPECT_EQ(contents(with_svg.path()), contents(plain.path()));

    EXPECT_NE(doc.find("Overview of " + name + "</text>"), std::string::npos);
    EXPECT_NE(doc.find(row.type + " \xC2\xB7 "), std::string::npos);
    // "b1 Minimum Number Of Sequences For A Conserved Position: 3", as the results file says.
    const std::string results = read_file(with_svg / row.results);
    for (const std::string key : {"b1", "b2", "b3", "b4", "b5"}) {
      const std::string tag = "<tspan font-weight=\"bold\">" + key + "</tspan> ";
      const std::size_t at = doc.find(tag);
      ASSERT_NE(at, std::string::npos) << key;
      const std::string line =
          without_tags(doc.substr(at + tag.size(), doc.find("</text>", at) - at - tag.size()));
      EXPECT_NE(results.find("\n" + line + "\n"), std::string::npos) << line;
    }
  }
}

// Four sequences each; x.fas is all conserved, y.fas keeps 1..10, z.fas keeps nothing.
const char kX[] = ">s1\nMKVLAAGLLAPQ\n>s2\nMKVLAAGLLAPQ\n>s3\nMKVLAAGLLAPQ\n>s4\nMKVLAAGLLAPE\n";
const char kY[] =
    ">t1\nACDEFGHIKL-MNPQ\n>t2\nACDEFGHIKLWMNPQ\n>t3\nACDEFGHIKLWMNPQ\n>t4\nACDEFGHIKLWMNPQ\n";
const char kZ[] = ">u1\nMKVLAAGLLA\n>u2\nWYRHPQEDNC\n>u3\nFGSTIVKLMA\n>u4\nQPNDCEHRWY\n";

TEST(SvgRun, BatchOverviewsEachAlignmentAndTheConcatenationWithItsGenes) {
  for (const bool concatenate : {true, false}) {
    SCOPED_TRACE(concatenate ? "-a=y" : "-a=n");
    TempDir dir;
    write_file(dir / "a/x.fas", kX);
    write_file(dir / "c/z.fas", kZ);
    write_file(dir / "b/y.fas", kY);
    write_file(dir / "lists.txt", "a/x.fas\nc/z.fas\nb/y.fas\n");
    std::vector<std::string> args = {"lists.txt", concatenate ? "-a=y" : "-a=n", "-p=n"};
    const auto plain = run_selvane(args, dir.path());
    args.push_back("--svg");
    const auto run = run_selvane(args, dir.path());
    EXPECT_EQ(run.output, plain.output);

    for (const std::string path : {"a/x.fas-sv.svg", "c/z.fas-sv.svg", "b/y.fas-sv.svg"}) {
      expect_sound_overview(dir / path);
    }
    const fs::path overview = dir / "b/lists.txt-sv.seq.svg";
    EXPECT_EQ(testing::file_exists(overview), concatenate);
    if (!concatenate) continue;
    expect_sound_overview(overview);
    const std::string doc = read_file(overview);
    for (const std::string& text : std::vector<std::string>{
             "Overview of lists.txt-sv.seq</text>",
             "22 positions selected (100 %)</tspan> in 2 blocks",
             "<title>Gene x.fas: positions 1" + kDash + "12</title>",
             "<title>Gene y.fas: positions 13" + kDash + "22</title>",
             "<title>Gene z.fas: no position selected</title>", "<title>Gene boundaries</title>"}) {
      EXPECT_NE(doc.find(text), std::string::npos) << text;
    }
  }
}

// Joined by name, the genes differ in their sequences and so in b1 and b2: the heading counts
// the taxa of the concatenation, each gene's thresholds are its own, the gaps count the taxa a
// gene lacks, and a heat map shows which taxon holds residues where.
TEST(SvgRun, ConcatenationByNameCountsTheTaxaAndKeepsEachGenesThresholds) {
  TempDir dir;
  fs::copy(testing::source_dir() / "tests" / "cases" / "batch_by_name_taxa_missing" / "input",
           dir.path());
  const auto run = run_selvane(
      {"genes.txt", "-a=y", "-p=n", "-s=n", "--by-name", "--taxon-sep=@", "--svg"}, dir.path());
  EXPECT_EQ(run.status, 1);
  const std::string doc = read_file(dir / "genes.txt-sv.seq.svg");
  for (const std::string& text : std::vector<std::string>{
           "Protein \xC2\xB7 4 taxa \xC2\xB7 53 positions",
           "<tspan font-weight=\"bold\">Taxa</tspan> (4 taxa: ",
           "Gaps</tspan> (fraction of the taxa with a gap, a taxon missing",
           "xlink:href=\"data:image/png;base64,",
           "<title>Myzus_persicae: residues at 62.3 % of the positions</title>",
           "Gene g1.fas: positions 1" + kDash + "20; b1 \xE2\x89\xA5 2 and b2 \xE2\x89\xA5 2 of 3",
           "Gene g3.fas: positions 41" + kDash + "53; b1 \xE2\x89\xA5 2 and b2 \xE2\x89\xA5 2 of 2",
           ">b1 per gene</text>"}) {
    EXPECT_NE(doc.find(text), std::string::npos) << text;
  }
  expect_sound_overview(dir / "genes.txt-sv.seq.svg");
}

// An alignment row of `nupo` positions for sequence s of a generated DNA alignment: a shared
// sequence with substitutions and gaps that vary from row to row.
std::string generated_row(int s, int nupo) {
  std::string row(static_cast<std::size_t>(nupo), 'A');
  for (int p = 0; p < nupo; ++p) {
    const int base = (p * 7 + p / 13) % 4;
    const bool changed = (p / 50 % 3 == 0) && (p * (s + 3)) % 5 == 0;
    row[static_cast<std::size_t>(p)] =
        (p + 3 * s) % 23 == 0 ? '-' : "ACGT"[changed ? (base + 1) % 4 : base];
  }
  return row;
}

// A real alignment of 8,226 positions (when the corpus is there) and a generated one of a
// million, through the binary.
TEST(SvgRun, LongAlignmentsGiveSmallOverviews) {
  TempDir dir;
  std::string big;
  for (int s = 1; s <= 8; ++s)
    big += ">s" + std::to_string(s) + "\n" + generated_row(s, 1000000) + "\n";
  write_file(dir / "big.fas", big);
  std::vector<std::string> inputs = {"big.fas"};
  if (testing::corpus_available()) {
    fs::copy_file(testing::corpus_file("example3.fasta"), dir / "example3.fasta");
    inputs.push_back("example3.fasta");
  }
  for (const std::string& input : inputs) {
    const auto run = run_selvane({input, "-p=n", "-s=n", "--svg"}, dir.path());
    EXPECT_EQ(run.status, 1);
    expect_sound_overview(dir / (input + "-sv.svg"));
  }
  const std::string doc = read_file(dir / "big.fas-sv.svg");
  EXPECT_NE(doc.find("1,000,000 positions"), std::string::npos);
}

}  // namespace
}  // namespace selvane
