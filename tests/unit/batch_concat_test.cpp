// Joining alignments sequence by sequence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/concat.h"
#include "support/harness.h"
#include "unit/writers_fixtures.h"

namespace selvane {
namespace {

using testing::make_blocks;

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

std::string saved(const Concatenation& c, InputFormat fileformat, char seq_type,
                  const std::vector<std::string>& names) {
  testing::TempDir dir;
  c.save((dir / "all.seq").string(), OutputSwitches{},
         EntryFormat{fileformat, static_cast<SeqType>(seq_type)}, names);
  return testing::read_file(dir / "all.seq");
}

TEST(Concatenation, JoinsTheSelectedBlocksOfEveryAlignmentInOrder) {
  const Alignment a = make_alignment({"ABCDEFGHIJ", "abcdefghij"}, "a");
  const Alignment b = make_alignment({"KLMNOP", "klmnop"}, "b");
  const Alignment c = make_alignment({"QRSTUVWXYZ", "qrstuvwxyz"}, "last");
  Concatenation all("letall");
  all.append_blocks(a, make_blocks(10, {{2, 4}, {7, 8}}));
  all.append_blocks(b, make_blocks(6, {}));  // nothing selected: leaves no trace
  all.append_blocks(c, make_blocks(10, {{1, 1}, {5, 4}, {10, 10}}));  // an empty codon block
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

}  // namespace
}  // namespace selvane
