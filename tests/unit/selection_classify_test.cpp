// Conservation values: counts, candidates by sequence type, gap policies and the re-score.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "selection/classify.h"

namespace selvane {
namespace {

// An alignment given column by column: columns[p - 1][s - 1] is sequence s at position p.
Alignment from_columns(const std::vector<std::string>& columns) {
  Alignment aln;
  aln.nupo = static_cast<std::int32_t>(columns.size());
  aln.numseq = static_cast<std::int32_t>(columns.front().size());
  aln.let = Rows(aln.numseq, aln.nupo);
  for (std::int32_t p = 1; p <= aln.nupo; ++p) {
    for (std::int32_t s = 1; s <= aln.numseq; ++s) aln.let.row(s)[p] = columns[p - 1][s - 1];
  }
  aln.name.assign(static_cast<std::size_t>(aln.numseq) + 1, "seq");
  return aln;
}

BlockParams settings(char seq_type, std::int32_t numseq, int tog_gaps = 1, int tog_sim = 0) {
  BlockParams params;
  params.seq_type = static_cast<SeqType>(seq_type);
  apply_sequence_count_defaults(params, numseq);
  params.tog_gaps = static_cast<GapPolicy>(tog_gaps);
  params.tog_sim = tog_sim == 1;
  return params;
}

struct ColumnCase {
  const char* what;
  char seq_type;
  std::string column;
  float val;
  char val_aa;
};

TEST(Assignval, MostFrequentCandidateOfEachColumn) {
  const ColumnCase cases[] = {
      {"plain count", 'P', "AAAC", 3, 'A'},
      {"tie goes to the earlier letter: A before C", 'P', "CCAA", 2, 'A'},
      {"tie goes to the earlier letter: I before V", 'P', "VVII", 2, 'I'},
      {"DNA tie: U before A", 'D', "AAUU", 2, 'U'},
      {"DNA tie: G before T", 'D', "TTGG", 2, 'G'},
      {"codons are scored like DNA", 'C', "GGGA", 3, 'G'},
      {"lower and upper case count together", 'P', "aaAC", 3, 'A'},
      {"lower-case u in DNA", 'D', "uuaA", 2, 'U'},
      {"U is not a protein candidate", 'P', "UUUA", 1, 'A'},
      {"protein letters are not DNA candidates", 'D', "DDDA", 1, 'A'},
      {"characters outside the table are not counted", 'P', "XX*A", 1, 'A'},
      {"a column without a candidate is excluded", 'P', "XXBZ", 0, '?'},
      {"N in DNA is never a candidate", 'D', "NNNN", 0, '?'},
      {"only '-' is a gap: '.' is just an unknown character", 'P', "..AA", 2, 'A'},
      {"characters above 127 are outside the table", 'P', "\xc1\xc1\xc1G", 1, 'G'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Alignment aln = from_columns({c.column, c.column});
    const Classification cls = assignval(aln, settings(c.seq_type, aln.numseq));
    for (std::int32_t p = 1; p <= 2; ++p) {
      EXPECT_EQ(cls.val[p], c.val);
      EXPECT_EQ(cls.val_aa[p], c.val_aa);
    }
  }
}

TEST(Assignval, CountsLettersCaseFoldedAndNothingOutsideTheTable) {
  // Under gap policy All the value is the count of the most frequent candidate.
  const Alignment aln = from_columns({"aA-xX?Tt", "xX?*A-aT", "uUUN----"});
  const Classification protein = assignval(aln, settings('P', aln.numseq, 3));
  EXPECT_EQ(protein.val[1], 2.0f);  // a A, then T t: a tie that A wins
  EXPECT_EQ(protein.val_aa[1], 'A');
  EXPECT_EQ(protein.val[2], 2.0f);  // x, X, ?, * and - count as nothing
  EXPECT_EQ(protein.val_aa[2], 'A');
  const Classification dna = assignval(aln, settings('D', aln.numseq, 3));
  EXPECT_EQ(dna.val[3], 3.0f);
  EXPECT_EQ(dna.val_aa[3], 'U');
}

TEST(Assignval, CountsStayRightAcrossLongAlignments) {
  // Sequence s holds 'a' at position p when s <= p % 7, else a gap: the residue and gap counts
  // are known per position, over enough positions to cross any internal grouping of columns.
  const std::int32_t numseq = 7;
  const std::int32_t nupo = 2500;
  std::vector<std::string> columns;
  for (std::int32_t p = 1; p <= nupo; ++p) {
    std::string column;
    for (std::int32_t s = 1; s <= numseq; ++s) column += s <= p % numseq ? 'a' : '-';
    columns.push_back(column);
  }
  const Alignment aln = from_columns(columns);
  const Classification all = assignval(aln, settings('P', numseq, 3));
  // With Half (initnegval 4) scores a position only with at most 3 gaps, that is p % 7 >= 4.
  const Classification half = assignval(aln, settings('P', numseq, 2));
  // Scoring the excluded positions too (for the overview) leaves the selection's values alone.
  const Classification shown = assignval(aln, settings('P', numseq, 2), true);
  for (std::int32_t p = 1; p <= nupo; ++p) {
    const auto residues = static_cast<float>(p % numseq);
    ASSERT_EQ(all.val[p], residues) << p;
    ASSERT_EQ(all.val_aa[p], p % numseq == 0 ? '?' : 'A') << p;
    ASSERT_EQ(half.val[p], p % numseq >= 4 ? residues : 0.0f) << p;
    ASSERT_EQ(shown.val[p], half.val[p]) << p;
    ASSERT_EQ(shown.val_aa[p], half.val_aa[p]) << p;
    ASSERT_EQ(shown.excluded_val[p], p % numseq >= 4 ? 0.0f : residues) << p;
  }
}

struct GapCase {
  int tog_gaps;
  std::int32_t numseq;
  std::int32_t gaps;
  bool scored;
};

TEST(Assignval, GapPolicies) {
  const GapCase cases[] = {
      {1, 10, 0, true}, {1, 10, 1, false}, {2, 10, 5, true}, {2, 10, 6, false},
      {2, 11, 5, true}, {2, 11, 6, false}, {3, 10, 9, true}, {3, 11, 6, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("b5=" + std::to_string(c.tog_gaps) + " " + std::to_string(c.gaps) + " gaps of " +
                 std::to_string(c.numseq));
    const std::string column = std::string(c.gaps, '-') + std::string(c.numseq - c.gaps, 'K');
    const Alignment aln = from_columns({column, column});
    const Classification cls = assignval(aln, settings('P', c.numseq, c.tog_gaps));
    EXPECT_EQ(cls.val[1], c.scored ? static_cast<float>(c.numseq - c.gaps) : 0.0f);
    EXPECT_EQ(cls.val_aa[1], c.scored ? 'K' : '?');
  }
  // Under All a column of gaps only, or of unknown characters only, still has nothing to score.
  const Alignment aln = from_columns({"----", "XXXX"});
  const Classification cls = assignval(aln, settings('P', 4, 3));
  EXPECT_EQ(cls.val[1], 0.0f);
  EXPECT_EQ(cls.val[2], 0.0f);
}

struct RescoreCase {
  const char* what;
  char seq_type;
  int tog_sim;
  std::int32_t initnegval;
  std::int32_t negval;
  std::string column;
  float val;
};

TEST(Assignval, SimilarityRescore) {
  const RescoreCase cases[] = {
      {"6 I + 4 V reaches 6 and adds 4 x 0.5833", 'P', 1, 6, 6, "IIIIIIVVVV", 8.3332f},
      {"5 I + 5 V stays below 6", 'P', 1, 6, 6, "IIIIIVVVVV", 5},
      {"the threshold is initnegval, not negval", 'P', 1, 6, 9, "IIIIIIVVVV", 8.3332f},
      {"a lower initnegval re-scores 5 I + 5 V", 'P', 1, 5, 6, "IIIIIVVVVV", 7.9165f},
      {"b6 off keeps whole counts", 'P', 0, 6, 6, "IIIIIIVVVV", 6},
      {"DNA keeps whole counts", 'D', 1, 6, 6, "AAAAAATTTT", 6},
      {"codons keep whole counts", 'C', 1, 6, 6, "AAAAAATTTT", 6},
      {"row C holds only its diagonal", 'P', 1, 6, 6, "CCCCCCAAAA", 6},
      {"row P holds only its diagonal", 'P', 1, 6, 6, "PPPPPPAAAA", 6},
      {"gaps never contribute", 'P', 1, 6, 6, "IIIIII----", 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Alignment aln = from_columns({c.column, c.column});
    BlockParams params = settings(c.seq_type, 10, 3, c.tog_sim);
    params.initnegval = c.initnegval;
    params.negval = c.negval;
    const Classification cls = assignval(aln, params);
    EXPECT_EQ(cls.val[1], c.val);
  }
}

TEST(Assignval, SimilarityMatrixIsNotSymmetric) {
  // D weighs E with 0.4268, E weighs D with 0.4861.
  const Alignment aln = from_columns({"DDDDDDEEEE", "EEEEEEDDDD", "FFFFFFYYWW"});
  const Classification cls = assignval(aln, settings('P', 10, 1, 1));
  EXPECT_FLOAT_EQ(cls.val[1], 7.7072f);
  EXPECT_FLOAT_EQ(cls.val[2], 7.9444f);
  // F weighs W with 0.2647 and Y with 0.5392: 6 + 0.5294 + 1.0784.
  EXPECT_FLOAT_EQ(cls.val[3], 7.6078f);
  EXPECT_EQ(cls.val_aa[3], 'F');
}

TEST(ConservedResidue, LetterOfThePositionAtOrAboveB1) {
  const Alignment aln = from_columns({"AAAAAAC---", "AAAAACCCCC", "----------"});
  const Classification cls = assignval(aln, settings('P', 10, 3, 0));
  // Position 1: 6 A of 10 (value 6); position 2: 5 A (value 5); position 3: excluded.
  struct Case {
    std::int32_t negval;
    char c;
    std::int32_t p;
    bool conserved;
  };
  const Case cases[] = {{6, 'A', 1, true},  {6, 'a', 1, true},  {7, 'A', 1, false},
                        {6, 'C', 1, false}, {6, '-', 1, false}, {6, 'A', 2, false},
                        {5, 'A', 2, true},  {5, 'C', 2, false}, {5, '-', 3, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(is_conserved_residue(cls, c.negval, c.c, c.p), c.conserved)
        << c.c << " at " << c.p << " with b1 " << c.negval;
  }
}

}  // namespace
}  // namespace selvane
