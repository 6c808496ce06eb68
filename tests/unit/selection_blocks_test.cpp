// Block selection, the selection line and the ungapped alignment.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "selection/blocks.h"
#include "selection/classify.h"
#include "selection/derived.h"

namespace selvane {
namespace {

using Spans = std::vector<Span>;

// An alignment given row by row.
Alignment from_rows(const std::vector<std::string>& rows) {
  Alignment aln;
  aln.numseq = static_cast<std::int32_t>(rows.size());
  aln.nupo = static_cast<std::int32_t>(rows.front().size());
  aln.let = Rows(aln.numseq, aln.nupo);
  for (std::int32_t s = 1; s <= aln.numseq; ++s) {
    for (std::int32_t p = 1; p <= aln.nupo; ++p) aln.let.row(s)[p] = rows[s - 1][p - 1];
  }
  aln.name.assign(static_cast<std::size_t>(aln.numseq) + 1, "seq");
  return aln;
}

// Conservation values written as classes, one character per position, with b2 = 8 and b1 = 6:
// 'F' flank (8), 'c' conserved only (6), 'n' nonconserved (3), 'x' excluded (0).
Classification from_classes(const std::string& classes) {
  Classification cls;
  cls.val.assign(classes.size() + 1, 0.0f);
  cls.val_aa.assign(classes.size() + 1, '?');
  for (std::size_t i = 0; i < classes.size(); ++i) {
    const char k = classes[i];
    cls.val[i + 1] = k == 'F' ? 8.0f : k == 'c' ? 6.0f : k == 'n' ? 3.0f : 0.0f;
    if (k != 'x') cls.val_aa[i + 1] = 'A';
  }
  return cls;
}

struct Params {
  std::int32_t negblen = 8;
  std::int32_t posblen = 10;
  std::int32_t posblen2 = 10;
  char seq_type = 'P';
};

BlockParams settings(const Params& params) {
  RunState st;
  st.params.flankval = 8;
  st.params.negval = 6;
  st.params.initnegval = 6;
  st.params.negblen = params.negblen;
  st.params.posblen = params.posblen;
  st.params.posblen2 = params.posblen2;
  st.params.seq_type = static_cast<SeqType>(params.seq_type);
  return st.params;
}

// Selects blocks from a class pattern; the first sequence is all residues unless given.
Blocks select(const std::string& classes, const Params& params, std::string first = "") {
  if (first.empty()) first.assign(classes.size(), 'A');
  const Alignment aln = from_rows({first, std::string(classes.size(), 'A')});
  return getpos(from_classes(classes), aln, settings(params));
}

std::string rep(std::size_t count, char c) {
  return std::string(count, c);
}

struct SelectionCase {
  const char* what;
  std::string classes;
  Params params;
  Spans pos;     // initial blocks
  Spans newpos;  // selected blocks
};

TEST(Getpos, InitialBlocksAndPieces) {
  const std::string f10 = rep(10, 'F');
  const SelectionCase cases[] = {
      {"no flank position: nothing selected", "cccccnnnnnccccc", {}, {}, {}},
      {"a run of b3 = 8 nonconserved positions stays inside",
       rep(6, 'F') + rep(8, 'n') + rep(6, 'F'),
       {},
       {{1, 20}},
       {{1, 20}}},
      {"a run of 9 ends the block at the last flank before it",
       f10 + rep(9, 'n') + f10,
       {},
       {{1, 10}, {20, 29}},
       {{1, 10}, {20, 29}}},
      {"b3 = 0: the first nonconserved position ends the block",
       f10 + "n" + f10 + "cF",
       Params{.negblen = 0},
       {{1, 10}, {12, 23}},
       {{1, 10}, {12, 23}}},
      {"b3 = 0: conserved positions do not end the block",
       "FFFFFcccFFFFF",
       Params{.negblen = 0},
       {{1, 13}},
       {{1, 13}}},
      {"conserved positions at the tail, before the ending run, are left out",
       f10 + "ccc" + rep(9, 'n') + "c" + f10,
       {},
       {{1, 10}, {24, 33}},
       {{1, 10}, {24, 33}}},
      {"an initial block of exactly b0 is kept",
       "nn" + f10 + rep(9, 'n'),
       {},
       {{3, 12}},
       {{3, 12}}},
      {"one of b0 - 1 is dropped and the scan goes on after its run",
       rep(9, 'F') + rep(9, 'n') + f10,
       {},
       {{19, 28}},
       {{19, 28}}},
      {"an excluded position cuts [10, 40] into [10, 24] and [26, 40]",
       rep(9, 'n') + rep(15, 'F') + "x" + rep(15, 'F') + rep(9, 'n'),
       {},
       {{10, 40}},
       {{10, 24}, {26, 40}}},
      {"pieces shorter than b4 are dropped, the initial block is not",
       rep(9, 'n') + rep(15, 'F') + "x" + rep(15, 'F') + rep(9, 'n'),
       Params{.posblen2 = 16},
       {{10, 40}},
       {}},
      {"pieces are judged separately against b4",
       rep(15, 'F') + "x" + rep(9, 'F'),
       {},
       {{1, 25}},
       {{1, 15}}},
      {"a piece of exactly b4 is kept",
       rep(10, 'F') + "x" + rep(10, 'F'),
       {},
       {{1, 21}},
       {{1, 10}, {12, 21}}},
      {"after an excluded position the piece starts at the first conserved position",
       rep(12, 'F') + "xnnnc" + f10,
       {},
       {{1, 27}},
       {{1, 12}, {17, 27}}},
      {"a piece closed by an excluded position ends at the last conserved position",
       f10 + "cnnx" + f10,
       {},
       {{1, 24}},
       {{1, 11}, {15, 24}}},
      {"conserved positions between two excluded ones form a piece",
       rep(12, 'F') + "xncccnx" + rep(12, 'F'),
       Params{.posblen2 = 3},
       {{1, 31}},
       {{1, 12}, {15, 17}, {20, 31}}},
      {"... which is dropped when shorter than b4",
       rep(12, 'F') + "xncccnx" + rep(12, 'F'),
       {},
       {{1, 31}},
       {{1, 12}, {20, 31}}},
      {"no conserved position between two excluded ones: no piece between",
       rep(12, 'F') + "xnx" + rep(12, 'F'),
       Params{.posblen2 = 2},
       {{1, 27}},
       {{1, 12}, {16, 27}}},
      {"adjacent excluded positions",
       rep(12, 'F') + "xx" + rep(12, 'F'),
       {},
       {{1, 26}},
       {{1, 12}, {15, 26}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Blocks b = select(c.classes, c.params);
    EXPECT_EQ(b.pos, c.pos);
    EXPECT_EQ(b.newpos, c.newpos);
    EXPECT_EQ(b.count(), static_cast<std::int32_t>(c.newpos.size()));
  }
}

struct TotalsCase {
  std::string classes;
  Params params;
  std::int32_t nupo3;
  std::int32_t nupo3per;
};

TEST(Getpos, TotalsAndTruncatedPercentage) {
  const TotalsCase cases[] = {
      {"cnnnnn", {}, 0, 0},
      {"FFn", Params{.posblen = 2, .posblen2 = 2}, 2, 66},
      {rep(10, 'F') + rep(9, 'n') + rep(10, 'F'), {}, 20, 68},  // 2000 / 29 = 68.96
      {rep(10, 'F'), {}, 10, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.classes);
    const Blocks b = select(c.classes, c.params);
    EXPECT_EQ(b.nupo3(), c.nupo3);
    EXPECT_EQ(b.nupo3per(), c.nupo3per);
  }
}

struct CodonCase {
  std::int32_t first;
  std::int32_t last;
  std::int32_t snapped_first;
  std::int32_t snapped_last;
};

TEST(Getpos, CodonBlocksSnapToWholeCodons) {
  const CodonCase cases[] = {
      {2, 10, 4, 9}, {3, 11, 4, 9}, {1, 12, 1, 12}, {5, 6, 7, 6}, {5, 9, 7, 9}, {4, 8, 4, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    const std::string classes = rep(c.first - 1, 'n') + rep(c.last - c.first + 1, 'F') + "nn";
    const auto nupo = static_cast<std::int32_t>(classes.size());
    const Blocks codons = select(classes, {.posblen = 2, .posblen2 = 2, .seq_type = 'C'});
    EXPECT_EQ(codons.newpos, (Spans{{c.snapped_first, c.snapped_last}}));
    const std::int32_t length = std::max(c.snapped_last - c.snapped_first + 1, 0);
    EXPECT_EQ(codons.nupo3(), length);
    EXPECT_EQ(codons.nupo3per(), length * 100 / nupo);
    // A block without a whole codon is still a block.
    EXPECT_EQ(codons.count(), 1);
    // DNA blocks stay where they are.
    const Blocks dna = select(classes, {.posblen = 2, .posblen2 = 2, .seq_type = 'D'});
    EXPECT_EQ(dna.newpos, (Spans{{c.first, c.last}}));
  }
}

TEST(Getpos, FirstSequenceBoundaries) {
  // Blocks [4, 13] and [23, 32] in 32 positions.
  const std::string classes = "nnn" + rep(10, 'F') + rep(9, 'n') + rep(10, 'F');
  const auto first_row = [](const std::vector<int>& gaps) {
    std::string row(32, 'K');
    for (int p : gaps) row[static_cast<std::size_t>(p - 1)] = '-';
    return row;
  };

  // Gaps of the first sequence only outside the blocks (at 1, 2, 15 and 20): each boundary is
  // the alignment position less the gaps before it.
  Blocks b = select(classes, {}, first_row({1, 2, 15, 20}));
  EXPECT_EQ(b.newpos, (Spans{{4, 13}, {23, 32}}));
  EXPECT_EQ(b.newposseq, (Spans{{2, 11}, {19, 28}}));

  // Gaps inside the blocks too, one of them on a last boundary (13) and one on a first
  // boundary (23): the boundaries are still residue numbers of the first sequence.
  b = select(classes, {}, first_row({1, 2, 5, 13, 15, 20, 23}));
  EXPECT_EQ(b.newposseq, (Spans{{2, 9}, {17, 25}}));

  // No block: no first-sequence boundaries.
  EXPECT_TRUE(select("nnnnFnnnnn", {}).newposseq.empty());

  // A codon block without a whole codon, [5, 6] -> [7, 6], holds no residue.
  b = select("nnnnFFnn", {.posblen = 2, .posblen2 = 2, .seq_type = 'C'}, "-AAAAAAA");
  EXPECT_EQ(b.newposseq, (Spans{{6, 5}}));
}

// The selected blocks and the stretches between them (the nonconserved blocks) hold every
// position exactly once, in order, for random class patterns of every sequence type.
TEST(Getpos, SelectedAndNonconservedCoverEveryPositionOnce) {
  std::uint32_t x = 2463534242u;
  const auto next = [&] { return x ^= x << 13, x ^= x >> 17, x ^= x << 5; };
  for (int round = 0; round < 300; ++round) {
    std::string classes(1 + next() % 120, 'n');
    for (char& c : classes) c = "FFFcnx"[next() % 6];
    const char type = "PDC"[round % 3];
    const Blocks b = select(classes, {.posblen = 2, .posblen2 = 2, .seq_type = type});
    Spans all = b.newpos;
    const Spans between = nonconserved(b);
    all.insert(all.end(), between.begin(), between.end());
    std::sort(all.begin(), all.end(), [](Span a, Span z) { return a.first < z.first; });
    std::int32_t next_position = 1;
    for (const Span& span : all) {
      if (span.empty()) continue;  // a codon block without a whole codon
      ASSERT_EQ(span.first, next_position) << classes << ' ' << type;
      next_position = span.last + 1;
    }
    EXPECT_EQ(next_position, static_cast<std::int32_t>(classes.size()) + 1) << classes;
    EXPECT_EQ(b.nupo3() + positions_in(between), static_cast<std::int64_t>(classes.size()));
  }
}

TEST(Makeletselvane, HashInsideBlocksDotElsewhere) {
  struct Case {
    const char* what;
    Spans blocks;
    std::int32_t nupo;
    std::string line;  // positions 1..nupo
  };
  const Case cases[] = {
      {"no block", {}, 6, "......"},
      {"blocks [3, 5] and [9, 10]", {{3, 5}, {9, 10}}, 12, "..###...##.."},
      {"a block that ends at the last position", {{2, 4}}, 4, ".###"},
      {"a block that covers everything", {{1, 5}}, 5, "#####"},
      {"a codon block without a whole codon marks nothing", {{1, 3}, {7, 6}}, 9, "###......"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string line = makeletselvane(Blocks{c.nupo, {}, c.blocks, {}}, c.nupo);
    ASSERT_EQ(line.size(), static_cast<std::size_t>(c.nupo) + 1);
    EXPECT_EQ(line.substr(1), c.line);
  }
  // A selection that found nothing.
  EXPECT_EQ(makeletselvane(Blocks{}, 3).substr(1), "...");
}

std::vector<std::string> rows_of(const Rows& rows) {
  std::vector<std::string> out;
  for (std::int32_t s = 1; s <= rows.numseq(); ++s) {
    out.emplace_back(rows.row(s) + 1, static_cast<std::size_t>(rows.width()));
  }
  return out;
}

TEST(Ungap, KeepsThePositionsWithoutAnyGap) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    std::vector<std::string> ungapped;
  };
  const Case cases[] = {
      {"a gap in one sequence drops the position",
       {"AC-GT", "ACCG-", "ACCGT"},
       {"ACG", "ACG", "ACG"}},
      {"every position holds a gap somewhere", {"A-", "-C"}, {"", ""}},
      {"unknown and lower-case characters stay as they are", {"X?a-c", "x*A-C"}, {"X?ac", "x*AC"}},
      {"runs of kept positions on both sides of gaps",
       {"AB-CD-EF", "ab-cd-ef"},
       {"ABCDEF", "abcdef"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Alignment aln = from_rows(c.rows);
    const Rows newlet = ungap(aln);
    EXPECT_EQ(newlet.numseq(), aln.numseq);
    EXPECT_EQ(rows_of(newlet), c.ungapped);
  }
}

}  // namespace
}  // namespace selvane
