// Runs with every per-alignment output switched on: the case folders outputs_all_* of
// tests/cases, run again with their input rewritten in ways that must change no output, and the
// property that the selected and the nonconserved blocks hold every position once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/run_parse.h"
#include "support/expected.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::run_selvane;
using testing::TempDir;

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
  if (at == std::string::npos) return "input lacks its short description line";
  out.replace(at, line.size(), "\ncyt b " + std::string(250, 'x') + "\n");
  return out;
}

TEST(FullRun, LineEndsAndLongDescriptionsChangeNothing) {
  struct Variant {
    std::string what;
    testing::InputRewrite rewrite;
    std::vector<std::string> cases;
  };
  const std::vector<std::string> every = {"outputs_all_protein_html", "outputs_all_protein_text",
                                          "outputs_all_protein_short", "outputs_all_pir_dna_html",
                                          "outputs_all_codons_short"};
  const std::vector<Variant> variants = {
      {"CRLF line ends", with_crlf, every},
      {"a description line of 256 characters", with_long_description, {"outputs_all_pir_dna_html"}},
      {"both",
       [](const std::string& t) { return with_crlf(with_long_description(t)); },
       {"outputs_all_pir_dna_html"}},
  };
  for (const Variant& variant : variants) {
    for (const std::string& name : variant.cases) {
      SCOPED_TRACE(variant.what + ": " + name);
      testing::check_case(name, variant.rewrite);
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
  const auto input = [](const std::string& name, const std::string& file) {
    return testing::case_dir(name) / "input" / "sub" / file;
  };
  expect_positions_once(input("outputs_all_protein_html", "aln.fas"), false, {});
  expect_positions_once(input("outputs_all_pir_dna_html", "aln.pir"), true, {});
  expect_positions_once(input("outputs_all_codons_short", "cod.fas"), false, {"-t=C"});
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
