// Joining alignments sequence by sequence: by position, and by taxon.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "batch/concat.h"
#include "batch/join.h"
#include "support/harness.h"

namespace selvane {
namespace {

Alignment make_alignment(const std::vector<std::string>& rows, const std::string& prefix) {
  Alignment aln;
  aln.numseq = static_cast<std::int32_t>(rows.size());
  aln.nupo = static_cast<std::int32_t>(rows[0].size());
  aln.let = Rows(aln.numseq, aln.nupo);
  aln.name.push_back("");
  for (std::int32_t s = 1; s <= aln.numseq; ++s) {
    rows[static_cast<std::size_t>(s - 1)].copy(aln.let.row(s) + 1, rows[0].size());
    aln.name.push_back(prefix + std::to_string(s));
  }
  return aln;
}

// Blocks given as first/last pairs, with the closing nupo + 1 entry.
Blocks make_blocks(const std::vector<std::pair<int, int>>& pairs, std::int32_t nupo) {
  Blocks b;
  b.newpos.push_back(0);
  for (auto [first, last] : pairs) {
    b.newpos.push_back(first);
    b.newpos.push_back(last);
    if (last >= first) b.nupo3 += last - first + 1;
  }
  b.newpos.push_back(nupo + 1);
  b.newtopos = static_cast<std::int32_t>(2 * pairs.size());
  return b;
}

std::string saved(const Concatenation& c, InputFormat fileformat, char seq_type,
                  const std::vector<std::string>& names, const RowIndex* rows_of = nullptr) {
  testing::TempDir dir;
  c.save((dir / "all.seq").string(), OutputSwitches{},
         EntryFormat{fileformat, static_cast<SeqType>(seq_type)}, names, rows_of);
  return testing::read_file(dir / "all.seq");
}

TEST(Concatenation, JoinsTheSelectedBlocksOfEveryAlignmentInOrder) {
  const Alignment a = make_alignment({"ABCDEFGHIJ", "abcdefghij"}, "a");
  const Alignment b = make_alignment({"KLMNOP", "klmnop"}, "b");
  const Alignment c = make_alignment({"QRSTUVWXYZ", "qrstuvwxyz"}, "last");
  Concatenation all("letall");
  all.append_blocks(a, make_blocks({{2, 4}, {7, 8}}, 10));
  all.append_blocks(b, make_blocks({}, 6));  // nothing selected: leaves no trace
  all.append_blocks(c, make_blocks({{1, 1}, {5, 4}, {10, 10}}, 10));  // an empty codon block
  EXPECT_EQ(all.length(), 7);
  EXPECT_EQ(saved(all, InputFormat::kFasta, 'P', c.name), ">last1\nBCDGHQZ\n>last2\nbcdghqz\n");
  EXPECT_EQ(saved(all, InputFormat::kPir, 'D', c.name),
            ">DL;last1\n \nBCDGHQZ*\n\n>DL;last2\n \nbcdghqz*\n\n");
}

TEST(Concatenation, InputAlignmentsAndUngappedRowsAreJoinedWhole) {
  const Alignment a = make_alignment({"AC-GT", "ACCGT"}, "x");
  const Alignment b = make_alignment({"MK", "MR"}, "y");
  Concatenation inputs("letall_init");
  inputs.append_alignment(a);
  inputs.append_alignment(b);
  EXPECT_EQ(inputs.length(), 7);
  EXPECT_EQ(saved(inputs, InputFormat::kPir, 'P', b.name),
            ">P1;y1\n \nAC-GTMK*\n\n>P1;y2\n \nACCGTMR*\n\n");

  Rows ungapped(2, 3);
  std::string("ACG").copy(ungapped.row(1) + 1, 3);
  std::string("TTT").copy(ungapped.row(2) + 1, 3);
  Concatenation joined("newletall");
  joined.append_rows(ungapped);
  joined.append_rows(Rows(2, 0));
  joined.append_rows(ungapped);
  EXPECT_EQ(joined.length(), 6);
  EXPECT_EQ(saved(joined, InputFormat::kFasta, 'D', b.name), ">y1\nACGACG\n>y2\nTTTTTT\n");
}

TEST(Concatenation, GroupingRunsAcrossAlignments) {
  // 25 + 35 positions: exactly 60, so each NBRF/PIR entry ends with '*' alone on a line.
  const Alignment a = make_alignment({std::string(25, 'A'), std::string(25, 'a')}, "s");
  const Alignment b = make_alignment({std::string(35, 'C'), std::string(35, 'c')}, "s");
  Concatenation inputs("letall_init");
  inputs.append_alignment(a);
  inputs.append_alignment(b);
  const std::string first = "AAAAAAAAAA AAAAAAAAAA AAAAACCCCC CCCCCCCCCC CCCCCCCCCC CCCCCCCCCC\n";
  const std::string second = "aaaaaaaaaa aaaaaaaaaa aaaaaccccc cccccccccc cccccccccc cccccccccc\n";
  EXPECT_EQ(saved(inputs, InputFormat::kPir, 'C', b.name),
            ">DL;s1\n \n" + first + "*\n\n>DL;s2\n \n" + second + "*\n\n");
  EXPECT_EQ(saved(inputs, InputFormat::kFasta, 'C', b.name),
            ">s1\n" + first + "\n>s2\n" + second + "\n");
}

// Three alignments listing their taxa in different orders, some missing, joined by taxon over
// the selected blocks (one alignment selecting nothing, one with an empty codon block) and over
// whole alignments: each taxon's entry holds, alignment after alignment, its own residues, found
// here by name without the plan, or gaps over that alignment's width.
TEST(Concatenation, JoinedByTaxonEachTaxonHoldsItsOwnResidues) {
  std::mt19937 rng(7);
  const std::vector<std::vector<std::string>> taxa = {{"A", "B", "C"}, {"C", "D", "A"}, {"D", "B"}};
  const std::vector<std::vector<std::pair<int, int>>> selected = {
      {{2, 3}}, {}, {{1, 1}, {4, 3}, {4, 5}}};
  std::vector<Alignment> alns;
  JoinPlan plan(TaxonRule::separator('@'));
  Concatenation blocks("letall");
  Concatenation inputs("letall_init");
  for (std::size_t a = 0; a < taxa.size(); ++a) {
    std::vector<std::string> rows;
    for (std::size_t s = 0; s < taxa[a].size(); ++s) {
      rows.emplace_back();
      for (std::size_t p = 0; p < 4 + a; ++p) rows.back() += static_cast<char>('a' + rng() % 26);
    }
    Alignment aln = make_alignment(rows, "");
    for (std::size_t s = 0; s < taxa[a].size(); ++s)
      aln.name[s + 1] = taxa[a][s] + "@x" + aln.name[s + 1];
    plan.add(aln.name);
    blocks.append_blocks(aln, make_blocks(selected[a], aln.nupo));
    inputs.append_alignment(aln);
    alns.push_back(std::move(aln));
  }
  const std::vector<std::string> names = taxon_names(plan);
  ASSERT_EQ(names, (std::vector<std::string>{"", "A", "B", "C", "D"}));
  const RowIndex index = taxon_rows(plan);

  std::map<std::string, std::string> want_blocks, want_inputs;
  for (std::size_t t = 1; t < names.size(); ++t) {
    for (std::size_t a = 0; a < alns.size(); ++a) {
      std::int32_t s = 0;  // the row of taxon t, by name
      for (std::int32_t r = 1; r <= alns[a].numseq; ++r) {
        if (alns[a].name[r].rfind(names[t] + "@", 0) == 0) s = r;
      }
      const auto at = [&](std::int32_t p) { return s > 0 ? alns[a].let.row(s)[p] : '-'; };
      for (std::int32_t p = 1; p <= alns[a].nupo; ++p) want_inputs[names[t]] += at(p);
      for (const auto& [first, last] : selected[a]) {
        for (std::int32_t p = first; p <= last; ++p) want_blocks[names[t]] += at(p);
      }
    }
  }
  const auto fasta = [&](const std::map<std::string, std::string>& rows) {
    std::string text;
    for (std::size_t t = 1; t < names.size(); ++t)
      text += ">" + names[t] + "\n" + rows.at(names[t]) + "\n";
    return text;
  };
  const auto ungrouped = [](std::string text) {
    std::erase(text, ' ');
    return text;
  };
  EXPECT_EQ(saved(blocks, InputFormat::kFasta, 'P', names, &index), fasta(want_blocks));
  EXPECT_EQ(ungrouped(saved(inputs, InputFormat::kFasta, 'P', names, &index)), fasta(want_inputs));
  EXPECT_EQ(blocks.length(), 2 + 0 + 3);
  EXPECT_EQ(inputs.length(), 4 + 5 + 6);
}

}  // namespace
}  // namespace selvane
