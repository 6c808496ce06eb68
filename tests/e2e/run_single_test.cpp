// Command-line runs of one small protein alignment, from the report line to every file written.
//
// The alignment (tests/golden/e2e/protein/aln.fas) has 4 sequences and 22 positions, so b1 = 3
// and b2 = 3. Worked out by hand: every position but 11 and 22 holds one residue in at least
// 3 sequences (position 6, I I L I, scores 3 + 0.3889 with the similarity matrix); position 11
// has a gap in one sequence and position 22 four different residues. With gaps not allowed
// (the default) position 11 is excluded and splits the block into [1, 10] and [12, 21]; with
// half the sequences allowed to hold gaps one block [1, 21] is kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::list_files;
using testing::read_file;
using testing::run_selvane;
using testing::TempDir;

const fs::path kFixtures = testing::source_dir() / "tests" / "golden" / "e2e";

const std::string kReport =
    "\n4 sequences and 22 positions in the first alignment file:\naln.fas\n\n";
const std::string kPath = "aln.fas\n";
const std::string kTwoBlocks =
    "Original alignment: 22 positions\n"
    "Selvane alignment:  20 positions (90 %) in 2 selected block(s)\n\n";
const std::string kTwoBlocksUngapped =
    "Original alignment: 22 positions\n"
    "Ungapped alignment: 21 positions\n"
    "Selvane alignment:  20 positions (90 %) in 2 selected block(s)\n\n";
const std::string kOneBlock =
    "Original alignment: 22 positions\n"
    "Selvane alignment:  21 positions (95 %) in 1 selected block(s)\n\n";
const std::string kNoBlock =
    "Original alignment: 22 positions\n"
    "Selvane alignment:  0 positions (0 %) in 0 selected block(s)\n\n";

// Selected blocks [1, 10] and [12, 21].
const std::string kBlocksTwo =
    ">human\nMKTAYIAKQR ISFVKSHFSR \n"
    ">mouse\nMKTAYLAKQR ISFVKSHFSR \n"
    ">chicken\nMkTAYIAKQR ISFVKSHFSR \n"
    ">frog\nMKTAYIAKQR ISFVKSHFSR \n";
// Selected block [1, 21].
const std::string kBlocksOne =
    ">human\nMKTAYIAKQR QISFVKSHFS R\n"
    ">mouse\nMKTAYLAKQR QISFVKSHFS R\n"
    ">chicken\nMkTAYIAKQR QISFVKSHFS R\n"
    ">frog\nMKTAYIAKQR -ISFVKSHFS R\n";
const std::string kBlocksNone = ">human\n\n>mouse\n\n>chicken\n\n>frog\n\n";
// Every position but 11, the only one with a gap.
const std::string kUngapped =
    ">human\nMKTAYIAKQR ISFVKSHFSR W\n"
    ">mouse\nMKTAYLAKQR ISFVKSHFSR Y\n"
    ">chicken\nMkTAYIAKQR ISFVKSHFSR F\n"
    ">frog\nMKTAYIAKQR ISFVKSHFSR H\n";
const std::string kNonconservedAll =
    ">human\nMKTAYIAKQR QISFVKSHFS RW\n"
    ">mouse\nMKTAYLAKQR QISFVKSHFS RY\n"
    ">chicken\nMkTAYIAKQR QISFVKSHFS RF\n"
    ">frog\nMKTAYIAKQR -ISFVKSHFS RH\n";

const std::string kTextHeading =
    "Selvane 0.91b Results\n\n\n"
    "Processed file: aln.fas\n"
    "Number of sequences: 4\n"
    "Alignment assumed to be: Protein\n";
const std::string kTextRows =
    "                         10        20\n"
    "                 =========+=========+==\n"
    "human            MKTAYIAKQRQISFVKSHFSRW\n"
    "mouse            MKTAYLAKQRQISFVKSHFSRY\n"
    "chicken          MkTAYIAKQRQISFVKSHFSRF\n"
    "frog             MKTAYIAKQR-ISFVKSHFSRH\n";
const std::string kTextCounts =
    "\n\nParameters used"
    "\nMinimum Number Of Sequences For A Conserved Position: 3"
    "\nMinimum Number Of Sequences For A Flanking Position: 3"
    "\nMaximum Number Of Contiguous Nonconserved Positions: 8";

// -P=t -B5=H -E=xy: the text results of the one-block run.
const std::string kTextOneBlock =
    kTextHeading + "New number of positions: 21 (selected positions are underlined in blue)\n\n\n" +
    kTextRows + "Selvane          #####################.\n\n\n" + kTextCounts +
    "\nMinimum Length Of A Block: 10"
    "\nAllowed Gap Positions: With Half"
    "\nUse Similarity Matrices: Yes"
    "\n\nFlank positions of the 1 selected block(s)\n"
    "Flanks: [1  21]  "
    "\n\nNew number of positions in aln.fasxy: *** 21 *** (95% of the original 22 positions)\n";

// -b4=50: no block is long enough.
const std::string kTextNoBlock =
    kTextHeading + "New number of positions: 0 (selected positions are underlined in blue)\n\n\n" +
    kTextRows + "Selvane          ......................\n\n\n" + kTextCounts +
    "\nMinimum Length Of A Block: 50"
    "\nAllowed Gap Positions: None"
    "\nUse Similarity Matrices: Yes"
    "\n\nFlank positions of the 0 selected block(s)\n"
    "Flanks: "
    "\n\nNew number of positions in aln.fas-sv: *** 0 *** (0% of the original 22 positions)\n";

// The HTML results of the two-block run are kept with the other expected files of this
// alignment, written for the input sub/aln.fas; the page names the selected-blocks file by the
// path given, so only its last line changes with the path and the extension.
std::string html_two_blocks(const std::string& selected_blocks_file) {
  std::string page = read_file(kFixtures / "protein" / "aln.fas-sv.htm");
  const std::string from = "New number of positions in sub/aln.fas-sv:";
  const std::size_t at = page.find(from);
  if (at == std::string::npos) return "expected page lacks its closing line";
  page.replace(at, from.size(), "New number of positions in " + selected_blocks_file + ":");
  return page;
}

struct SingleRun {
  std::string what;
  std::vector<std::string> options;
  std::string output;
  std::map<std::string, std::string> files;  // every file written, with its contents
};

void expect_run(const SingleRun& run) {
  SCOPED_TRACE(run.what);
  TempDir dir;
  fs::copy_file(kFixtures / "protein" / "aln.fas", dir / "aln.fas");
  std::vector<std::string> args = {"aln.fas"};
  args.insert(args.end(), run.options.begin(), run.options.end());

  const testing::RunResult result = run_selvane(args, dir.path());

  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, run.output);
  std::vector<std::string> expected_names = {"aln.fas"};
  for (const auto& [name, content] : run.files) expected_names.push_back(name);
  std::sort(expected_names.begin(), expected_names.end());
  EXPECT_EQ(list_files(dir.path()), expected_names);
  for (const auto& [name, content] : run.files) {
    if (testing::file_exists(dir / name)) {
      EXPECT_EQ(read_file(dir / name), content) << name;
    }
  }
}

TEST(SingleRun, ReportsAndWritesWhatTheSwitchesAskFor) {
  const std::vector<SingleRun> runs = {
      {"gaps in half the sequences, no results file",
       {"-b5=h", "-p=n"},
       kReport + kPath + kOneBlock,
       {{"aln.fas-sv", kBlocksOne}}},
      {"default parameters: the gap column splits the block",
       {"-p=y"},
       kReport + kPath + kTwoBlocks,
       {{"aln.fas-sv", kBlocksTwo}, {"aln.fas-sv.htm", html_two_blocks("aln.fas-sv")}}},
      {"the ungapped alignment adds its line between the others",
       {"-u=Y"},
       kReport + kPath + kTwoBlocksUngapped,
       {{"aln.fas-sv", kBlocksTwo},
        {"aln.fas-sv.htm", html_two_blocks("aln.fas-sv")},
        {"aln.fas--", kUngapped}}},
      {"-T=P names no option: ignored in silence, the run is still made",
       {"-T=P"},
       kReport + kPath + kTwoBlocks,
       {{"aln.fas-sv", kBlocksTwo}, {"aln.fas-sv.htm", html_two_blocks("aln.fas-sv")}}},
      {"the extension names every file but the ungapped alignment",
       {"-e=.x", "-u=y"},
       kReport + kPath + kTwoBlocksUngapped,
       {{"aln.fas.x", kBlocksTwo},
        {"aln.fas.x.htm", html_two_blocks("aln.fas.x")},
        {"aln.fas--", kUngapped}}},
      {"option names in capitals, values as words",
       {"-P=text", "-B5=Half", "-E=xy"},
       kReport + kPath + kOneBlock,
       {{"aln.fasxy", kBlocksOne}, {"aln.fasxy.txt", kTextOneBlock}}},
      {"no file at all, the summary still printed",
       {"-s=n", "-p=n"},
       kReport + kPath + kTwoBlocks,
       {}},
      {"the batch concatenations do nothing for one alignment",
       {"-a=Y", "-c=Y", "-w=Y", "-p=n"},
       kReport + kPath + kTwoBlocks,
       {{"aln.fas-sv", kBlocksTwo}}},
      {"nothing selected: every requested file is still written",
       {"-b4=50", "-p=t", "-n=y"},
       kReport + kPath + kNoBlock,
       {{"aln.fas-sv", kBlocksNone},
        {"aln.fas-sv.txt", kTextNoBlock},
        {"aln.fas-svComp", kNonconservedAll}}},
  };
  for (const SingleRun& run : runs) expect_run(run);
}

TEST(SingleRun, RefusedOptionsWarnInOrderBeforeTheRun) {
  // Each refused value keeps the setting it had, so the run is the default two-block run.
  // foo, -x=1, -b7=3 and -T=D match no option and print nothing; were -T=D taken as -t=D,
  // the protein letters would not count and nothing would be selected.
  const std::string warnings =
      "\nWARNING: Parameter -b1 not properly entered.\n"
      "The minimum number of sequences for a conserved position must be bigger than or equal to "
      "3 (half the number of sequences + 1)\n"
      "\nWARNING: Parameter -b2 not properly entered.\n"
      "The minimum number of sequences for a flank position must be lower than or equal to 4 "
      "(the number of sequences)\n"
      "\nWARNING: Parameter -b0 not properly entered.\n"
      "The minimum length of a block must be 2 or bigger\n"
      "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With Half) or A "
      "(All)\n"
      "\nWARNING: Parameter -e not properly entered.\n"
      "The string has to have 5 characters maximum\n"
      "\nWARNING: Parameter -p not properly entered. It has to be Y (Yes, HTML), N (No), T (Text) "
      "or S (Short)\n"
      "\nWARNING: Parameter -v not properly entered. It must be between 50 and 32000\n"
      "\nWARNING: minimum number of sequences for a flank position set to the minimum possible "
      "value.\n"
      "\nWARNING: Parameter -b2 not properly entered.\n"
      "The minimum number of sequences for a flank position must be bigger than or equal to the "
      "minimum number of sequences for a conserved position\n";
  expect_run({"refused values",
              {"-p=n", "-b1=2", "foo", "-b2=5", "-b0=1", "-x=1", "-b5=x", "-e=toolong",
               "-p=", "-b7=3", "-v=49", "-b2=0", "-T=D", "-b2=2"},
              kReport + warnings + kPath + kTwoBlocks,
              {{"aln.fas-sv", kBlocksTwo}}});
}

TEST(SingleRun, FirstArgumentIsTheInputEvenWithALeadingDash) {
  TempDir dir;
  fs::copy_file(kFixtures / "protein" / "aln.fas", dir / "-p=y");
  const testing::RunResult result = run_selvane({"-p=y", "-s=n", "-p=n"}, dir.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(
      result.output,
      "\n4 sequences and 22 positions in the first alignment file:\n-p=y\n\n-p=y\n" + kTwoBlocks);
  EXPECT_EQ(list_files(dir.path()), std::vector<std::string>{"-p=y"});
}

}  // namespace
}  // namespace selvane
