// Joining the alignments of a batch by taxon, and the partition file of a concatenation.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "batch/joined_rows.h"
#include "batch/partitions.h"
#include "batch/taxa.h"
#include "support/harness.h"

namespace selvane {
namespace {

using Kind = TaxonError::Kind;

TEST(TaxonRule, ReadsTheKeyOfEveryKindOfName) {
  const std::string uce = "^uce-[0-9]+_([^ ]+)";
  const struct {
    TaxonRule rule;
    std::string name, key;
  } cases[] = {
      {{}, "Acyrthosiphon_pisum some description", "Acyrthosiphon_pisum"},
      {{}, " \tleading blanks\tare skipped", "leading"},
      {TaxonRule::separator('@'), "TAXON@seq-17 desc", "TAXON"},
      {TaxonRule::separator('|'), "TAXON|id", "TAXON"},
      {TaxonRule::separator('|'), "TAXON desc|id", "TAXON"},  // the blank cuts first
      {TaxonRule::separator('@'), "no_separator here", "no_separator"},
      {TaxonRule::regex(uce), "uce-1484_alligator_mississippiensis |uce-1484",
       "alligator_mississippiensis"},
      {TaxonRule::regex("[0-9]+"), "a12b34", "12"},  // no group: the whole first match
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.rule.key(c.name), c.key) << c.name;
  }
}

TEST(TaxonRule, NamesTheNameThatGivesNoKey) {
  const struct {
    TaxonRule rule;
    std::string name;
    Kind kind;
  } cases[] = {
      {{}, "", Kind::kEmptyKey},
      {{}, " \t ", Kind::kEmptyKey},
      {TaxonRule::separator('@'), "@id", Kind::kEmptyKey},
      {TaxonRule::regex("^uce-[0-9]+_([^ ]+)"), "alligator |uce-1484", Kind::kNoMatch},
      {TaxonRule::regex("x(y)?"), "axz", Kind::kEmptyKey},  // the group took no part
  };
  for (const auto& c : cases) {
    try {
      c.rule.key(c.name);
      ADD_FAILURE() << "no error for \"" << c.name << "\"";
    } catch (const TaxonError& e) {
      EXPECT_EQ(e.kind, c.kind) << c.name;
      EXPECT_EQ(e.name, c.name);
    }
  }
  try {
    TaxonRule::regex("(unclosed");
    ADD_FAILURE() << "a broken pattern compiled";
  } catch (const TaxonError& e) {
    EXPECT_EQ(e.kind, Kind::kBadPattern);
  }
}

TEST(JoinPlan, ADuplicateKeyNamesBothRowsAndLeavesThePlanAsItWas) {
  JoinPlan plan(TaxonRule::separator('@'));
  plan.add({"", "A@1", "B@1"});
  try {
    plan.add({"", "C@2", "A@2", "D@2", "A@3"});
    ADD_FAILURE() << "duplicate accepted";
  } catch (const TaxonError& e) {
    EXPECT_EQ(e.kind, Kind::kDuplicateKey);
    EXPECT_EQ(e.key, "A");
    EXPECT_EQ(e.other_row, 2);
    EXPECT_EQ(e.row, 4);
  }
  EXPECT_EQ(plan.keys(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(plan.alignments(), 1U);
  // The failed call leaves no mark: the same taxa, once each, are accepted next.
  EXPECT_EQ(plan.add({"", "C@2", "A@2"}), 1U);
  EXPECT_EQ(plan.keys(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(plan.taxon_of(1, 1), 2);
  EXPECT_EQ(plan.taxon_of(1, 2), 0);
}

struct Gene {
  std::vector<std::string> names;  // 1-based, as Alignment::name
  Rows let;
};

const std::string kProtein = "ACDEFGHIKLMNPQRSTVWY";

Gene make_gene(const std::vector<std::string>& taxa, std::int32_t width, std::mt19937& rng,
               const std::string& alphabet = kProtein) {
  Gene g{{""}, Rows(static_cast<std::int32_t>(taxa.size()), width)};
  for (std::int32_t s = 1; s <= g.let.numseq(); ++s) {
    g.names.push_back(taxa[static_cast<std::size_t>(s - 1)] + "@id" + std::to_string(rng() % 100));
    for (std::int32_t p = 1; p <= width; ++p) g.let.row(s)[p] = alphabet[rng() % alphabet.size()];
  }
  return g;
}

// Three genes, taxa in different orders and missing here and there, joined twice over one
// plan: whole rows, and a selection of positions with its own widths. Each taxon's segment
// is checked against its own row, found by name without the plan.
TEST(JoinedRows, EachTaxonHoldsItsOwnResiduesAndGapsWhereItIsMissing) {
  std::mt19937 rng(7);
  std::vector<Gene> genes;
  genes.push_back(make_gene({"A", "B", "C"}, 4, rng));
  genes.push_back(make_gene({"C", "D", "A"}, 6, rng));
  genes.push_back(make_gene({"D", "B"}, 5, rng));
  const std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>> selected = {
      {{2, 3}}, {}, {{1, 1}, {4, 3}, {4, 5}}};

  JoinPlan plan(TaxonRule::separator('@'));
  JoinedRows all, blocks;
  for (std::size_t a = 0; a < genes.size(); ++a) {
    plan.add(genes[a].names);
    all.append(plan, a, whole_rows(genes[a].let));
    blocks.append(plan, a, ranges_of(genes[a].let, selected[a]));
  }
  all.finish(plan);
  blocks.finish(plan);
  ASSERT_EQ(plan.keys(), (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_EQ(all.width(), 4 + 6 + 5);
  EXPECT_EQ(blocks.width(), 2 + 0 + 3);

  for (std::int32_t t = 0; t < plan.taxa(); ++t) {
    std::string whole, chosen;
    for (std::size_t a = 0; a < genes.size(); ++a) {
      const Gene& g = genes[a];
      std::int32_t s = 1;
      const auto taxon_of = [&g](std::int32_t s) {
        const std::string& name = g.names[static_cast<std::size_t>(s)];
        return name.substr(0, name.find('@'));
      };
      while (s <= g.let.numseq() && taxon_of(s) != plan.taxon(t)) ++s;
      const bool present = s <= g.let.numseq();
      for (std::int32_t p = 1; p <= g.let.width(); ++p) whole += present ? g.let.row(s)[p] : '-';
      for (const auto& [first, last] : selected[a]) {
        for (std::int32_t p = first; p <= last; ++p) chosen += present ? g.let.row(s)[p] : '-';
      }
    }
    EXPECT_EQ(all.row(t), whole) << plan.taxon(t);
    EXPECT_EQ(blocks.row(t), chosen) << plan.taxon(t);
  }
}

TEST(NameMismatch, FindsTheFirstRowWhoseTaxonDiffers) {
  const std::vector<std::string> first = {"", "aphid_a gene1", "aphid_b", "aphid_c"};
  const struct {
    std::vector<std::string> later;
    std::int32_t row;  // 0: none
  } cases[] = {
      {{"", "aphid_a gene2", "aphid_b", "aphid_c"}, 0},  // only the descriptions differ
      {{"", "aphid_a", "aphid_c", "aphid_b"}, 2},
      {{"", "aphid_a", "aphid_b"}, 0},  // rows missing from one side are not compared
      {{"", "", "aphid_b", "aphid_c"}, 1},
  };
  for (const auto& c : cases) {
    const auto found = first_name_mismatch(first, c.later);
    EXPECT_EQ(found ? found->row : 0, c.row);
    if (found) {
      EXPECT_EQ(found->first, first[static_cast<std::size_t>(c.row)]);
      EXPECT_EQ(found->later, c.later[static_cast<std::size_t>(c.row)]);
    }
  }
}

TEST(Partitions, OneLinePerContributingGeneWithUniqueNames) {
  const struct {
    char seq_type;
    std::vector<PartitionGene> genes;
    std::string text;
  } cases[] = {
      {'D',
       {{"gene 1.fas", 10}, {"gene_1.fas", 0}, {"gene 1.fas", 5}, {"x/\xc3\xa9.fas", 3}},
       "GTR+G, gene_1.fas = 1-10\nGTR+G, gene_1.fas_3 = 11-15\nGTR+G, x__.fas = 16-18\n"},
      {'P', {{"a.pir", 7}, {"b.pir", 0}}, "LG+G, a.pir = 1-7\n"},
      {'C',
       {{"a", 6}, {"b", 0}, {"c", 2}},
       "GTR+G, a_codon1 = 1-6\\3\nGTR+G, a_codon2 = 2-6\\3\nGTR+G, a_codon3 = 3-6\\3\n"
       "GTR+G, c_codon1 = 7-8\\3\nGTR+G, c_codon2 = 8-8\\3\n"},
      {'D', {{"a", 0}}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(partition_text(c.genes, c.seq_type), c.text);
  // A suffixed name never meets a file that already carries it.
  EXPECT_EQ(partition_names({"x_2", "x", "x"}), (std::vector<std::string>{"x_2", "x", "x_3"}));
  EXPECT_EQ(partition_names({"x", "x", "x_2"}), (std::vector<std::string>{"x", "x_2", "x_2_2"}));
}

// IQ-TREE reads the partition file beside a concatenation joined by name, with its own models
// and one subset per line of the right number of sites. Skipped where it is not installed.
TEST(Partitions, IqTreeReadsThemWithTheRightLengths) {
  if (testing::run_program("sh", {"-c", "command -v iqtree2"}, ".").status != 0) {
    GTEST_SKIP() << "iqtree2 is not installed";
  }
  const struct {
    char seq_type;
    std::string alphabet;
    std::vector<std::int32_t> widths;
    std::vector<std::string> subsets;  // name, sequences present, sites
  } cases[] = {
      {'D', "ACGT", {30, 0, 24}, {"g0.fas 4 30", "g2.fas 4 24"}},
      {'P', kProtein, {20, 12}, {"g0.fas 4 20", "g1.fas 5 12"}},
      {'C',
       "ACGT",
       {30, 0, 23},
       {"g0.fas_codon1 4 10", "g0.fas_codon2 4 10", "g0.fas_codon3 4 10", "g2.fas_codon1 4 8",
        "g2.fas_codon2 4 8", "g2.fas_codon3 4 7"}},
  };
  const std::vector<std::vector<std::string>> taxa = {
      {"A", "B", "C", "D"}, {"E", "A", "C", "D", "B"}, {"B", "E", "D", "C"}};
  for (const auto& c : cases) {
    std::mt19937 rng(3);
    JoinPlan plan(TaxonRule::separator('@'));
    JoinedRows rows;
    std::vector<PartitionGene> genes;
    for (std::size_t a = 0; a < c.widths.size(); ++a) {
      const Gene g = make_gene(taxa[a], c.widths[a], rng, c.alphabet);
      plan.add(g.names);
      rows.append(plan, a, whole_rows(g.let));
      genes.push_back({"g" + std::to_string(a) + ".fas", c.widths[a]});
    }
    rows.finish(plan);
    testing::TempDir dir;
    std::string fasta;
    for (std::int32_t t = 0; t < plan.taxa(); ++t) {
      fasta += ">" + plan.taxon(t) + "\n" + std::string(rows.row(t)) + "\n";
    }
    testing::write_file(dir / "all.fas", fasta);
    testing::write_file(dir / "all.fas.partitions", partition_text(genes, c.seq_type));
    const auto run = testing::run_program("iqtree2",
                                          {"-s", "all.fas", "-p", "all.fas.partitions", "-fast",
                                           "-nt", "1", "-seed", "1", "-redo", "-quiet"},
                                          dir.path());
    ASSERT_EQ(run.status, 0) << run.output;

    // The table of subsets in the log: Subset Type Seqs Sites Infor Invar Model Name.
    std::istringstream log(testing::read_file(dir / "all.fas.partitions.log"));
    std::string line;
    while (std::getline(log, line) && line.rfind("Subset\t", 0) != 0) {
    }
    std::vector<std::string> subsets;
    const std::string model = c.seq_type == 'P' ? "LG+G" : "GTR+G";
    while (std::getline(log, line) && line.rfind("Degree", 0) != 0) {
      if (line.rfind("WARNING", 0) == 0) continue;
      std::vector<std::string> field;
      std::istringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) field.push_back(cell);
      ASSERT_EQ(field.size(), 8U) << line;
      EXPECT_EQ(field[6], model) << line;
      subsets.push_back(field[7] + " " + field[2] + " " + field[3]);
    }
    EXPECT_EQ(subsets, c.subsets) << c.seq_type;
  }
}

}  // namespace
}  // namespace selvane
