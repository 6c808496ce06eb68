// Variable and parsimony-informative sites against an independent count, column by column, of
// random alignments mixing both cases, gaps, ambiguity codes and characters of no residue.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "selection/sites.h"
#include "writers_fixtures.h"

namespace selvane {
namespace {

struct Counted {
  std::int64_t variable = 0, informative = 0, gaps = 0;
};

// The rule as the README states it, written out plainly: the residues of a column upper-cased
// (U read as T in nucleotides), everything else dropped.
Counted count_column(const std::vector<std::string>& rows, std::size_t column, bool nucleotides) {
  const std::string residues = nucleotides ? "ACGT" : "ACDEFGHIKLMNPQRSTVWY";
  std::map<char, int> seen;
  Counted counted;
  for (const std::string& row : rows) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(row[column])));
    if (nucleotides && c == 'U') c = 'T';
    if (row[column] == '-') ++counted.gaps;
    if (residues.find(c) != std::string::npos) ++seen[c];
  }
  int twice = 0;
  for (const auto& [c, n] : seen) twice += n >= 2 ? 1 : 0;
  counted.variable = seen.size() >= 2 ? 1 : 0;
  counted.informative = twice >= 2 ? 1 : 0;
  return counted;
}

TEST(Sites, VariableAndInformativeSitesMatchAnIndependentCount) {
  std::mt19937 rng(22);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 40; ++round) {
    const bool nucleotides = round % 2 == 0;
    // Few letters, so that columns are often constant, singletons or informative.
    const std::string alphabet = nucleotides ? "ACGTUacgtuNnRY-?X" : "ACDKLWYacdklwXBZJU*-?";
    const int letters = pick(2, static_cast<int>(alphabet.size()));
    const int numseq = pick(2, 9);
    const int nupo = pick(1, 1500);  // past one tile of counts
    std::vector<std::string> rows(static_cast<std::size_t>(numseq));
    for (std::string& row : rows) {
      for (int p = 0; p < nupo; ++p)
        row += alphabet[static_cast<std::size_t>(pick(0, letters - 1))];
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> spans;
    for (std::int32_t p = pick(1, 50); p <= nupo; p += pick(2, 120)) {
      const std::int32_t last = std::min(nupo, p + pick(-1, 90));  // -1: an empty codon block
      spans.emplace_back(p, last);
      p = std::max(p, last);
    }
    const Alignment aln = testing::make_alignment(std::vector<std::string>(rows.size(), "s"), rows);
    const Blocks blocks = testing::make_blocks(nupo, spans);

    SiteStats expected;
    for (int p = 1; p <= nupo; ++p) {
      const Counted c = count_column(rows, static_cast<std::size_t>(p - 1), nucleotides);
      bool selected = false;
      for (const auto& [first, last] : spans) selected |= first <= p && p <= last;
      expected.variable += c.variable;
      expected.informative += c.informative;
      expected.gaps += c.gaps;
      if (selected) {
        expected.selected_variable += c.variable;
        expected.selected_informative += c.informative;
        expected.selected_gaps += c.gaps;
      }
    }
    for (const SeqType type : nucleotides ? std::vector{SeqType::kDna, SeqType::kCodons}
                                          : std::vector{SeqType::kProtein}) {
      const SiteStats got = site_stats(aln, type, blocks.newpos);
      SCOPED_TRACE(::testing::Message()
                   << "round " << round << ", type " << static_cast<char>(type));
      EXPECT_EQ(got.variable, expected.variable);
      EXPECT_EQ(got.informative, expected.informative);
      EXPECT_EQ(got.selected_variable, expected.selected_variable);
      EXPECT_EQ(got.selected_informative, expected.selected_informative);
      EXPECT_EQ(got.gaps, expected.gaps);
      EXPECT_EQ(got.selected_gaps, expected.selected_gaps);
    }
  }
}

}  // namespace
}  // namespace selvane
