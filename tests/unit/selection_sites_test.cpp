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

TEST(Sites, VariableAndInformativeSitesMatchAnIndependentCount) {
  std::mt19937 rng(22);
  for (int round = 0; round < 40; ++round) {
    const bool nucleotides = round % 2 == 0;
    // Few letters at a time, so that columns are often constant, singletons or informative.
    const std::string alphabet = nucleotides ? "ACGTUacgtuNnRY-?X" : "ACDKLWYacdklwXBZJU*-?";
    const std::size_t letters = 2 + rng() % (alphabet.size() - 1);
    std::vector<std::string> rows(2 + rng() % 8);
    const std::size_t nupo = 1 + rng() % 1500;  // past one tile of counts
    for (std::string& row : rows) {
      for (std::size_t p = 0; p < nupo; ++p) row += alphabet[rng() % letters];
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> spans;  // one empty, as codons leave
    for (std::size_t p = 1 + rng() % 50; p <= nupo; p += 2 + rng() % 120) {
      const std::size_t last = std::min(nupo, p + rng() % 91 - 1);
      spans.emplace_back(static_cast<std::int32_t>(p), static_cast<std::int32_t>(last));
      p = std::max(p, last);
    }

    // The rule as the README states it: residues upper-cased, U read as T in nucleotides.
    SiteStats expected;
    const std::string residues = nucleotides ? "ACGT" : "ACDEFGHIKLMNPQRSTVWY";
    for (std::size_t p = 1; p <= nupo; ++p) {
      std::map<char, int> seen;
      std::int64_t gaps = 0;
      for (const std::string& row : rows) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(row[p - 1])));
        if (nucleotides && c == 'U') c = 'T';
        gaps += row[p - 1] == '-' ? 1 : 0;
        if (residues.find(c) != std::string::npos) ++seen[c];
      }
      const auto twice =
          std::count_if(seen.begin(), seen.end(), [](auto& n) { return n.second > 1; });
      const bool variable = seen.size() >= 2, informative = twice >= 2;
      bool selected = false;
      for (const auto& [first, last] : spans)
        selected |= first <= std::int32_t(p) && std::int32_t(p) <= last;
      expected.variable += variable;
      expected.informative += informative;
      expected.gaps += gaps;
      expected.selected_variable += selected && variable;
      expected.selected_informative += selected && informative;
      expected.selected_gaps += selected ? gaps : 0;
    }
    const Alignment aln = testing::make_alignment(std::vector<std::string>(rows.size(), "s"), rows);
    for (const SeqType type : nucleotides ? std::vector{SeqType::kDna, SeqType::kCodons}
                                          : std::vector{SeqType::kProtein}) {
      const SiteStats got =
          site_stats(aln, type, testing::make_blocks(std::int32_t(nupo), spans).newpos);
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
