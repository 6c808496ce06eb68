// Runs with every per-alignment output switched on, for an alignment in a subdirectory, against
// expected files worked out by hand (tests/golden/e2e/<fixture>/, beside the input they were
// derived from):
// - protein/aln.fas: FASTA, 4 sequences, 22 positions, blocks [1, 10] and [12, 21];
// - dna/aln.pir: NBRF/PIR DNA, 5 sequences, 37 columns of which one is a gap in every sequence,
//   so 36 positions; a gap at 13 splits the flank-bounded stretch [1, 25] into [1, 12] and
//   [14, 25], and 26 to 36 hold at most two equal bases each; one name holds '<', '>' and '&';
// - codon/cod.fas: FASTA read as codons (-t=C), 3 sequences, 18 positions; the block [2, 16]
//   snaps to whole codons [4, 15], and the first sequence has one gap before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "e2e/run_parse.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::list_files;
using testing::read_file;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

const fs::path kFixtures = testing::source_dir() / "tests" / "golden" / "e2e";
const std::vector<std::string> kAllOn = {"-k=y", "-d=y", "-n=y", "-u=y"};

struct FullRun {
  std::string fixture;  // directory under tests/golden/e2e
  std::string input;    // file name of the alignment there
  std::vector<std::string> options;
  std::string output;
  std::vector<std::string> files;  // every file the run writes beside the input
};

std::string report(const std::string& sizes, const std::string& path) {
  return "\n" + sizes + " in the first alignment file:\n" + path + "\n\n" + path + "\n";
}

const std::string kProteinOutput =
    report("4 sequences and 22 positions", "sub/aln.fas") +
    "Original alignment: 22 positions\n"
    "Ungapped alignment: 21 positions\n"
    "Selvane alignment:  20 positions (90 %) in 2 selected block(s)\n\n";
const std::string kDnaOutput = report("5 sequences and 36 positions", "sub/aln.pir") +
                               "Original alignment: 36 positions\n"
                               "Ungapped alignment: 34 positions\n"
                               "Selvane alignment:  24 positions (66 %) in 2 selected block(s)\n\n";
const std::string kCodonOutput =
    report("3 sequences and 18 positions", "sub/cod.fas") +
    "Original alignment: 18 positions\n"
    "Ungapped alignment: 17 positions\n"
    "Selvane alignment:  12 positions (66 %) in 1 selected block(s)\n\n";

std::vector<std::string> with(std::vector<std::string> options, const std::string& more) {
  options.insert(options.begin(), more);
  return options;
}

const std::vector<FullRun> kRuns = {
    {"protein",
     "aln.fas",
     with(kAllOn, "-p=y"),
     kProteinOutput,
     {"aln.fas-sv", "aln.fas-sv.htm", "aln.fas-svMask", "aln.fas-svPS", "aln.fas-svComp",
      "aln.fas--"}},
    {"protein",
     "aln.fas",
     with(kAllOn, "-p=t"),
     kProteinOutput,
     {"aln.fas-sv", "aln.fas-sv.txt", "aln.fas-svMask", "aln.fas-svPS", "aln.fas-svComp",
      "aln.fas--"}},
    {"protein",
     "aln.fas",
     with(kAllOn, "-p=s"),
     kProteinOutput,
     {"aln.fas-sv", "aln.fas-sv.txts", "aln.fas-svMask", "aln.fas-svPS", "aln.fas-svComp",
      "aln.fas--"}},
    {"dna",
     "aln.pir",
     with(kAllOn, "-p=y"),
     kDnaOutput,
     {"aln.pir-sv", "aln.pir-sv.htm", "aln.pir-svMask", "aln.pir-svPS", "aln.pir-svComp",
      "aln.pir--"}},
    {"codon",
     "cod.fas",
     with(with(kAllOn, "-p=s"), "-t=C"),
     kCodonOutput,
     {"cod.fas-sv", "cod.fas-sv.txts", "cod.fas-svMask", "cod.fas-svPS", "cod.fas-svComp",
      "cod.fas--"}},
};

// Runs `run` on `input` (the fixture's alignment, possibly rewritten) placed in sub/, and
// compares the output and every file with the fixture's expected files.
void expect_full_run(const FullRun& run, const std::string& input) {
  TempDir dir;
  write_file(dir / "sub" / run.input, input);
  std::vector<std::string> args = {"sub/" + run.input};
  args.insert(args.end(), run.options.begin(), run.options.end());

  const testing::RunResult result = run_selvane(args, dir.path());

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, run.output);
  EXPECT_EQ(list_files(dir.path()), std::vector<std::string>{}) << "files outside sub/";
  std::vector<std::string> expected_names = run.files;
  expected_names.push_back(run.input);
  std::sort(expected_names.begin(), expected_names.end());
  EXPECT_EQ(list_files(dir / "sub"), expected_names);
  for (const std::string& name : run.files) {
    if (!testing::file_exists(dir / "sub" / name)) continue;
    EXPECT_EQ(read_file(dir / "sub" / name), read_file(kFixtures / run.fixture / name)) << name;
  }
}

std::string describe(const FullRun& run) {
  std::string text = run.fixture;
  for (const std::string& option : run.options) text += " " + option;
  return text;
}

TEST(FullRun, EveryOutputMatchesItsHandDerivedFile) {
  for (const FullRun& run : kRuns) {
    SCOPED_TRACE(describe(run));
    expect_full_run(run, read_file(kFixtures / run.fixture / run.input));
  }
}

std::string with_crlf(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A description line longer than the 189 characters a line read holds.
std::string with_long_description(const std::string& text) {
  std::string out = text;
  const std::string line = "\ncyt b\n";
  const std::size_t at = out.find(line);
  if (at == std::string::npos) return "fixture lacks its short description line";
  out.replace(at, line.size(), "\ncyt b " + std::string(250, 'x') + "\n");
  return out;
}

TEST(FullRun, LineEndsAndLongDescriptionsChangeNothing) {
  struct Variant {
    std::string what;
    std::function<std::string(const std::string&)> rewrite;
    std::vector<std::string> fixtures;
  };
  const std::vector<Variant> variants = {
      {"CRLF line ends", with_crlf, {"protein", "dna", "codon"}},
      {"a description line of 256 characters", with_long_description, {"dna"}},
      {"both", [](const std::string& t) { return with_crlf(with_long_description(t)); }, {"dna"}},
  };
  for (const Variant& variant : variants) {
    for (const FullRun& run : kRuns) {
      if (std::find(variant.fixtures.begin(), variant.fixtures.end(), run.fixture) ==
          variant.fixtures.end()) {
        continue;
      }
      SCOPED_TRACE(variant.what + ": " + describe(run));
      const std::string original = read_file(kFixtures / run.fixture / run.input);
      const std::string rewritten = variant.rewrite(original);
      ASSERT_NE(rewritten, original);
      expect_full_run(run, rewritten);
    }
  }
}

// The selected blocks and the nonconserved blocks, put back together along the flanks of the
// short results file, give the input alignment: every position in exactly one of the two.
void expect_positions_once(const fs::path& alignment, bool pir,
                           const std::vector<std::string>& options) {
  TempDir dir;
  const std::string name = alignment.filename().string();
  fs::copy_file(alignment, dir / name);
  std::vector<std::string> args = {name, "-p=s", "-n=y"};
  args.insert(args.end(), options.begin(), options.end());
  const testing::RunResult result = run_selvane(args, dir.path());
  ASSERT_EQ(result.status, 1);
  ASSERT_TRUE(testing::file_exists(dir / (name + "-svComp"))) << result.output;

  std::vector<testing::Entry> input = testing::read_entries(read_file(dir / name), pir);
  testing::drop_all_gap_columns(input);
  const auto selected = testing::read_entries(read_file(dir / (name + "-sv")), pir);
  const auto nonconserved = testing::read_entries(read_file(dir / (name + "-svComp")), pir);
  const auto blocks = testing::read_flanks(read_file(dir / (name + "-sv.txts")));
  ASSERT_FALSE(input.empty());
  ASSERT_EQ(selected.size(), input.size());
  ASSERT_EQ(nonconserved.size(), input.size());

  const int nupo = static_cast<int>(input[0].row.size());
  std::vector<bool> in_block(static_cast<std::size_t>(nupo) + 1, false);
  int previous_last = 0;
  for (const auto& [first, last] : blocks) {
    ASSERT_GT(first, previous_last) << "blocks overlap or are out of order";
    ASSERT_LE(last, nupo);
    for (int p = first; p <= last; ++p) in_block[static_cast<std::size_t>(p)] = true;
    previous_last = last;
  }
  for (std::size_t s = 0; s < input.size(); ++s) {
    SCOPED_TRACE(input[s].name);
    EXPECT_EQ(selected[s].name, input[s].name);
    EXPECT_EQ(nonconserved[s].name, input[s].name);
    std::string rebuilt;
    std::size_t next_selected = 0;
    std::size_t next_other = 0;
    for (int p = 1; p <= nupo; ++p) {
      const std::string& from =
          in_block[static_cast<std::size_t>(p)] ? selected[s].row : nonconserved[s].row;
      std::size_t& next = in_block[static_cast<std::size_t>(p)] ? next_selected : next_other;
      rebuilt += next < from.size() ? from[next] : '?';
      ++next;
    }
    EXPECT_EQ(next_selected, selected[s].row.size());
    EXPECT_EQ(next_other, nonconserved[s].row.size());
    EXPECT_EQ(rebuilt, input[s].row);
  }
}

TEST(FullRun, SelectedAndNonconservedHoldEveryPositionOnce) {
  expect_positions_once(kFixtures / "protein" / "aln.fas", false, {});
  expect_positions_once(kFixtures / "dna" / "aln.pir", true, {});
  expect_positions_once(kFixtures / "codon" / "cod.fas", false, {"-t=C"});
}

TEST(FullRun, RealAlignmentsHoldEveryPositionOnce) {
  if (!testing::corpus_available()) GTEST_SKIP() << "no corpus at " << testing::corpus_dir();
  struct Real {
    std::string file;
    bool pir;
    std::vector<std::string> options;
  };
  // Many blocks, the last ones near the end; NBRF/PIR with long description lines; codons
  // whose blocks are snapped.
  const std::vector<Real> reals = {
      {"12_YIL115C_Anc_2.253_aa_aln.fasta", false, {"-b5=h"}},
      {"pmomph-modeller/build_profile.ali", true, {"-b5=h"}},
      {"12_YIL115C_Anc_2.253_codon_aln.fasta", false, {"-t=C", "-b5=a"}},
  };
  for (const Real& real : reals) {
    SCOPED_TRACE(real.file);
    expect_positions_once(testing::corpus_file(real.file), real.pir, real.options);
  }
}

}  // namespace
}  // namespace selvane
