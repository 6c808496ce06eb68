// Taxon keys, the plan of a join by taxon, and the partition file of a concatenation.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "batch/join.h"
#include "batch/occupancy.h"
#include "batch/partitions.h"
#include "batch/taxa.h"

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
      {TaxonRule::regex("^(?:x_)?([[:alpha:]_]+?)_\\d"), "x_Homo_sapiens_1", "Homo_sapiens"},
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

// The search takes time linear in the name, whatever the pattern: patterns that backtrack
// exponentially, on names of thousands of characters, end at once (a hang fails by timeout).
TEST(TaxonRule, NoPatternHangsOnALongName) {
  const std::string a(3000, 'a');
  const struct {
    std::string pattern, name, key;  // key empty: no match
  } cases[] = {
      {"(a+)+b", a + "b", a},
      {"(a+)+b", a, ""},
      {"(?:a*)*b", a, ""},
      {std::string(20, '(') + "." + std::string(20, ')') + "*$", a + "b", "b"},  // the last one
  };
  for (const auto& c : cases) {
    const TaxonRule rule = TaxonRule::regex(c.pattern);
    if (c.key.empty()) {
      EXPECT_THROW(rule.key(c.name), TaxonError) << c.pattern;
    } else {
      EXPECT_EQ(rule.key(c.name), c.key) << c.pattern;
    }
  }
}

// After -b2=0, b2 in a batch joined by taxon is each alignment's b1 (its default or the user's),
// and a user's b1 above an alignment's number of sequences is refused.
TEST(JoinCounts, TheLowestB2FollowsEachAlignmentsB1) {
  UserCounts user;
  user.flankval_lowest = true;
  for (const std::int32_t numseq : {4, 10, 31}) {
    BlockParams params;
    EXPECT_FALSE(apply_join_counts(params, numseq, user));
    EXPECT_EQ(params.negval, numseq / 2 + 1);
    EXPECT_EQ(params.flankval, params.negval);
  }
  user.negval = 7;
  BlockParams params;
  EXPECT_FALSE(apply_join_counts(params, 10, user));
  EXPECT_EQ(params.flankval, 7);
  const std::optional<OutOfRange> out = apply_join_counts(params, 6, user);
  ASSERT_TRUE(out && out->b1);
  EXPECT_EQ(std::tuple(out->count.value, out->count.low, out->count.high), std::tuple(7, 4, 6));
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

// The occupancy filters, in their order: alignments by their taxa, taxa by the alignments kept,
// then alignments left without a taxon; the file rows follow what is kept.
TEST(JoinSelection, FiltersInOrderAndTheRowsFollow) {
  JoinPlan plan(TaxonRule::separator('@'));
  plan.add({"", "A@1", "B@1", "C@1"});  // 0
  plan.add({"", "B@2", "D@2"});         // 1: two taxa
  plan.add({"", "C@3", "A@3", "E@3"});  // 2
  plan.add({"", "E@4", "F@4", "D@4"});  // 3
  const struct {
    std::int32_t min_taxa, min_genes;
    std::vector<bool> alignments;
    std::string names;  // the files' sequences, each "TAXON:range.row,..."
  } cases[] = {
      {0, 0, {true, true, true, true}, "A:0.1,2.2 B:0.2,1.1 C:0.3,2.1 D:1.2,3.3 E:2.3,3.1 F:3.2 "},
      {3, 0, {true, false, true, true}, "A:0.1,1.2 B:0.2 C:0.3,1.1 D:2.3 E:1.3,2.1 F:2.2 "},
      {3, 2, {true, false, true, true}, "A:0.1,1.2 C:0.3,1.1 E:1.3,2.1 "},
      {0, 3, {false, false, false, false}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.min_taxa) + " " + std::to_string(c.min_genes));
    const JoinSelection selection = select_for_join(plan, c.min_taxa, c.min_genes);
    EXPECT_EQ(selection.alignments, c.alignments);
    const std::vector<std::string> names = taxon_names(plan, selection);
    const RowIndex rows = taxon_rows(plan, selection);
    std::string text;
    for (std::size_t n = 1; n < names.size(); ++n) {
      text += names[n] + ":";
      for (std::size_t e = rows.start[n - 1]; e < rows.start[n]; ++e) {
        text += (e == rows.start[n - 1] ? "" : ",") + std::to_string(rows.entries[e].range) + "." +
                std::to_string(rows.entries[e].row);
      }
      text += " ";
    }
    EXPECT_EQ(text, c.names);
  }
}

// The warning of a taxon rule that shares nothing: names that keep their ids in the taxon warn,
// also beside a taxon named alike everywhere ("=R" is written as it is, the others "TAXON@g");
// taxa missing from some alignments, however many, do not while every alignment shares some.
TEST(JoinSelection, ARuleThatSharesNoTaxaIsToldFromMissingTaxa) {
  const auto line = [](const std::vector<std::vector<std::string>>& genes, TaxonRule rule) {
    JoinPlan plan(std::move(rule));
    BatchList list{"genes.txt", {}, InputFormat::kFasta, false};
    for (std::size_t g = 0; g < genes.size(); ++g) {
      std::vector<std::string> names = {""};
      for (const std::string& taxon : genes[g]) {
        names.push_back(taxon.starts_with('=') ? taxon.substr(1) : taxon + "@" + std::to_string(g));
      }
      plan.add(names);
      list.paths.push_back({"aln/g" + std::to_string(g) + ".fas", static_cast<std::int64_t>(g)});
    }
    return unshared_taxa_line(list, plan);
  };
  const std::vector<std::vector<std::string>> sparse = {
      {"A", "B", "C"}, {"C", "D", "E"}, {"E", "F", "G"}, {"G", "H", "A"}};
  EXPECT_FALSE(line(sparse, TaxonRule::separator('@')));
  EXPECT_FALSE(line({{"A", "B"}, {"C", "D"}}, TaxonRule()));  // two alignments: no judgement
  // One alignment apart, but most taxa shared: no warning either.
  EXPECT_FALSE(line({{"A", "B", "C"}, {"A", "B", "C"}, {"D"}}, TaxonRule::separator('@')));
  // Half of each alignment's taxa shared: no warning.
  EXPECT_FALSE(
      line({{"=R", "=S", "A", "B"}, {"=R", "=S", "C", "D"}, {"=R", "=S", "E", "F"}}, TaxonRule()));
  EXPECT_EQ(
      line({{"=R", "A", "B", "C"}, {"=R", "D", "E", "F"}, {"=R", "G", "H", "I"}}, TaxonRule()),
      "genes.txt: joined by taxon, 9 of the 10 taxa are found in one alignment only, and each "
      "of the 3 alignments keeps three quarters or more of its taxa to itself (such as "
      "\"A@0\" in g0.fas and \"D@1\" in g1.fas): the taxon rule seems to keep more of a name "
      "than its taxon; give --taxon-sep=C or --taxon-regex=RE");
  EXPECT_EQ(line(sparse, TaxonRule()),
            "genes.txt: joined by taxon, 12 of the 12 taxa are found in one alignment only, and 4 "
            "of the 4 alignments share no taxon with any other (such as \"A@0\" in g0.fas and "
            "\"C@1\" in g1.fas): the taxon rule seems to keep more of a name than its taxon; give "
            "--taxon-sep=C or --taxon-regex=RE");
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
    SeqType seq_type;
    std::vector<PartitionGene> genes;
    std::string text;
    PartitionForm form = PartitionForm::kRaxml;
  } cases[] = {
      {SeqType::kDna,
       {{"gene 1.fas", 10}, {"gene_1.fas", 0}, {"gene 1.fas", 5}, {"x/\xc3\xa9.fas", 3}},
       "GTR+G, gene_1.fas = 1-10\nGTR+G, gene_1.fas_3 = 11-15\nGTR+G, x__.fas = 16-18\n"},
      {SeqType::kProtein, {{"a.pir", 7}, {"b.pir", 0}}, "LG+G, a.pir = 1-7\n"},
      {SeqType::kCodons,
       {{"a", 6}, {"b", 0}, {"c", 2}},
       "GTR+G, a_codon1 = 1-6\\3\nGTR+G, a_codon2 = 2-6\\3\nGTR+G, a_codon3 = 3-6\\3\n"
       "GTR+G, c_codon1 = 7-8\\3\nGTR+G, c_codon2 = 8-8\\3\n"},
      {SeqType::kDna, {{"a", 0}}, ""},
      // NEXUS: a name with a '-' (punctuation there) is quoted.
      {SeqType::kProtein,
       {{"a.pir", 7}, {"b-2.pir", 3}},
       "#nexus\nbegin sets;\n  charset a.pir = 1-7;\n  charset 'b-2.pir' = 8-10;\n"
       "  charpartition models =\n    LG+G:a.pir,\n    LG+G:'b-2.pir';\nend;\n",
       PartitionForm::kNexus},
      {SeqType::kCodons,
       {{"c", 4}},
       "#nexus\nbegin sets;\n  charset c_codon1 = 1-4\\3;\n  charset c_codon2 = 2-4\\3;\n"
       "  charset c_codon3 = 3-4\\3;\n  charpartition models =\n    GTR+G:c_codon1,\n"
       "    GTR+G:c_codon2,\n    GTR+G:c_codon3;\nend;\n",
       PartitionForm::kNexus},
      {SeqType::kDna, {{"a", 0}}, "#nexus\nbegin sets;\nend;\n", PartitionForm::kNexus},
  };
  for (const auto& c : cases) EXPECT_EQ(partition_text(c.genes, c.seq_type, c.form), c.text);
  // A suffixed name never meets a file that already carries it.
  EXPECT_EQ(partition_names({"x_2", "x", "x"}), (std::vector<std::string>{"x_2", "x", "x_3"}));
  EXPECT_EQ(partition_names({"x", "x", "x_2"}), (std::vector<std::string>{"x", "x_2", "x_2_2"}));
}

}  // namespace
}  // namespace selvane
