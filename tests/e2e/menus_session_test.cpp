// Whole interactive sessions of the selvane binary: a script on standard input, the complete
// standard output and the files the runs leave behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/run_state.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace t = selvane::testing;

const std::string kBanner =
    "******************************************************\n"
    "                    SELVANE " +
    std::string(kVersion) +
    "                     \n"
    "SELECTION OF CONSERVED BLOCKS FROM MULTIPLE ALIGNMENTS\n"
    "        FOR THEIR USE IN PHYLOGENETIC ANALYSIS        \n"
    "******************************************************\n";

const std::string kMainItems =
    "\no. Open File"
    "\n\nb. Block Parameters"
    "\n\ns. Saving Options";

const std::string kMainNoFile =
    kBanner + kMainItems + "\n\ng. (Get Blocks)" + "\n\nq. Quit" + "\n\n\nYour Choice: ";

std::string main_with(const std::string& current_line, const std::string& type) {
  return kBanner + current_line + "t. Type Of Sequence: " + type + "\n" + kMainItems +
         "\n\ng. Get Blocks" + "\n\nq. Quit" + "\n\n\nYour Choice: ";
}

std::string main_single(const std::string& file, const std::string& type = "Protein") {
  return main_with("\nCURRENT FILE: " + file + "\n", type);
}

std::string block_screen(const std::string& b1, const std::string& b2, int b4) {
  return "BLOCK PARAMETERS\n"
         "\n1. Minimum Number Of Sequences For A Conserved Position: . " +
         b1 + "\n2. Minimum Number Of Sequences For A Flank Position: ..... " + b2 +
         "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
         "\n4. Minimum Length Of A Block: ............................ " +
         std::to_string(b4) +
         "\n5. Allowed Gap Positions: ................................ None"
         "\n\nr. Restore Defaults"
         "\ng. Get Blocks"
         "\n\nz. Extended Block Options"
         "\nm. Go To Main Menu"
         "\n\n\nYour Choice: ";
}

std::string saving_screen(const std::string& results, const std::string& batch = "") {
  return "SAVING OPTIONS\n"
         "\ns. Selected Blocks: ...................................... Save"
         "\np. Results And Parameters File: .......................... " +
         results + "\ne. Generic File Extension: ............................... -sv" + batch +
         "\n\nz. Extended Saving Options"
         "\nm. Go To Main Menu"
         "\n\n\nYour Choice: ";
}

const std::string kOpenPrompt =
    "Please enter a DNA or protein alignment in NBRF/PIR or FASTA format or a paths file.\n"
    "File Name: ";
const std::string kEcho = "\n\n";  // the answer to every choice but an empty line

// Four protein sequences of twelve positions; position 6 holds a gap in one of them, so with
// gaps not allowed it splits the alignment into [1, 5] and [7, 12], both shorter than the
// default minimum block length of 10.
const std::string kAln =
    ">s1\nACDEFGHIKLMN\n"
    ">s2\nACDEFGHIKLMn\n"
    ">s3\nACDEF-HIKLMN\n"
    ">s4\nACDEFGHIKLMN\n";

// Six sequences, every position conserved: one block over all twelve positions.
const std::string kSix =
    ">t1\nMKVLAAGIVGLL\n>t2\nMKVLAAGIVGLL\n>t3\nMKVLAAGIVGLL\n"
    ">t4\nMKVLAAGIVGLL\n>t5\nMKVLAAGIVGLL\n>t6\nMKVLAAGIVGLL\n";

TEST(MenuSession, NoArgumentShowsTheMenuWithoutAFileAndQuitsWithStatus1) {
  t::TempDir dir;
  const auto result = t::run_selvane({}, dir.path(), "Q\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, kMainNoFile + kEcho);
  EXPECT_TRUE(t::list_files(dir.path()).empty());
}

TEST(MenuSession, ClosedInputEndsTheProcessAfterOneMenu) {
  t::TempDir dir;
  const auto result = t::run_selvane({}, dir.path(), "");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, kMainNoFile);
  // Input ending inside a submenu, and while a number is awaited.
  const auto in_submenu = t::run_selvane({}, dir.path(), "b\n3\n");
  EXPECT_EQ(in_submenu.status, 1);
  EXPECT_EQ(in_submenu.output,
            kMainNoFile + kEcho +
                "BLOCK PARAMETERS (Missing values will be set after opening a file)\n"
                "\n1. Minimum Number Of Sequences For A Conserved Position: . "
                "\n2. Minimum Number Of Sequences For A Flank Position: ..... "
                "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
                "\n4. Minimum Length Of A Block: ............................ 10"
                "\n5. Allowed Gap Positions: ................................ None"
                "\n\nr. Restore Defaults"
                "\ng. (Get Blocks)"
                "\n\nz. Extended Block Options"
                "\nm. Go To Main Menu"
                "\n\n\nYour Choice: " +
                kEcho +
                "(BIGGER values INCREASE the selected number of positions)\n"
                "Maximum Number Of Contiguous Nonconserved Positions [0-32000]: ");
}

TEST(MenuSession, InputNamedAloneIsLoadedAndCurrentButNotRun) {
  t::TempDir dir;
  t::write_file(dir / "aln.fas", kAln);
  const auto result = t::run_selvane({"aln.fas"}, dir.path(), "q\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output,
            "\n4 sequences and 12 positions in the first alignment file:\naln.fas\n\n" +
                main_single("aln.fas") + kEcho);
  EXPECT_EQ(t::list_files(dir.path()), std::vector<std::string>{"aln.fas"});
}

TEST(MenuSession, InputNamedAloneThatCannotBeOpenedLeavesNoFileCurrent) {
  t::TempDir dir;
  const auto result = t::run_selvane({"missing.fas"}, dir.path(), "g\nq\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "\n* File not opened *\n" + kMainNoFile + kEcho +
                               "* Please enter first an alignment in NBRF/PIR or FASTA format *" +
                               "\n\n" + kMainNoFile + kEcho);
}

TEST(MenuSession, OpenSetMinimumBlockLengthSwitchResultsOffAndRun) {
  t::TempDir dir;
  t::write_file(dir / "aln.fas", kAln);
  const std::string script =
      "open\n"
      "aln.fas\n"
      "s\np\np\np\nm\n"  // results file: text, short, don't save
      "b\n4\n5\nm\n"     // minimum block length 5
      "g\n"
      "q\n";
  const auto result = t::run_selvane({}, dir.path(), script);
  EXPECT_EQ(result.status, 1);
  const std::string expected =
      kMainNoFile + kEcho + kOpenPrompt +
      "\n4 sequences and 12 positions in the first alignment file:\naln.fas\n\n" +
      main_single("aln.fas") + kEcho + saving_screen("Save") + kEcho + saving_screen("Save Text") +
      kEcho + saving_screen("Save Short") + kEcho + saving_screen("Don't Save") + kEcho +
      main_single("aln.fas") + kEcho + block_screen("3", "3", 10) + kEcho +
      "(BIGGER values DECREASE the selected number of positions)\n"
      "Minimum Length Of A Block [2 - 32000]: " +
      "\n\n" + block_screen("3", "3", 5) + kEcho + main_single("aln.fas") + kEcho +
      "aln.fas\n"
      "Original alignment: 12 positions\n"
      "Selvane alignment:  11 positions (91 %) in 2 selected block(s)\n"
      "\n" +
      main_single("aln.fas") + kEcho;
  EXPECT_EQ(result.output, expected);
  EXPECT_EQ(t::list_files(dir.path()), (std::vector<std::string>{"aln.fas", "aln.fas-sv"}));
  EXPECT_EQ(t::read_file(dir / "aln.fas-sv"),
            ">s1\nACDEFHIKLM N\n"
            ">s2\nACDEFHIKLM n\n"
            ">s3\nACDEFHIKLM N\n"
            ">s4\nACDEFHIKLM N\n");
}

TEST(MenuSession, RunsFromTheBlockMenuUseTheSettingsOfTheMoment) {
  t::TempDir dir;
  t::write_file(dir / "aln.fas", kAln);
  // A run with b4 at 5, then one after restoring the defaults, both from the block menu.
  const std::string script =
      "s\np\np\np\nm\n"
      "b\n4\n5\ng\nr\ng\nm\n"
      "q\n";
  const auto result = t::run_selvane({"aln.fas"}, dir.path(), script);
  EXPECT_EQ(result.status, 1);
  const std::string expected =
      "\n4 sequences and 12 positions in the first alignment file:\naln.fas\n\n" +
      main_single("aln.fas") + kEcho + saving_screen("Save") + kEcho + saving_screen("Save Text") +
      kEcho + saving_screen("Save Short") + kEcho + saving_screen("Don't Save") + kEcho +
      main_single("aln.fas") + kEcho + block_screen("3", "3", 10) + kEcho +
      "(BIGGER values DECREASE the selected number of positions)\n"
      "Minimum Length Of A Block [2 - 32000]: " +
      "\n\n" + block_screen("3", "3", 5) + kEcho +
      "aln.fas\n"
      "Original alignment: 12 positions\n"
      "Selvane alignment:  11 positions (91 %) in 2 selected block(s)\n"
      "\n" +
      block_screen("3", "3", 5) + kEcho + block_screen("3", "3", 10) + kEcho +
      "aln.fas\n"
      "Original alignment: 12 positions\n"
      "Selvane alignment:  0 positions (0 %) in 0 selected block(s)\n"
      "\n" +
      block_screen("3", "3", 10) + kEcho + main_single("aln.fas") + kEcho;
  EXPECT_EQ(result.output, expected);
  // The second run replaced the file of the first: no block, so every entry is empty.
  EXPECT_EQ(t::read_file(dir / "aln.fas-sv"), ">s1\n\n>s2\n\n>s3\n\n>s4\n\n");
}

TEST(MenuSession, OpeningAMissingFileKeepsTheCurrentOne) {
  t::TempDir dir;
  t::write_file(dir / "aln.fas", kAln);
  const auto result = t::run_selvane({"aln.fas"}, dir.path(), "o\nnope.fas\nt\nq\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output,
            "\n4 sequences and 12 positions in the first alignment file:\naln.fas\n\n" +
                main_single("aln.fas") + kEcho + kOpenPrompt + "\n* File not opened *\n" +
                main_single("aln.fas") + kEcho + main_single("aln.fas", "Codons") + kEcho);
}

TEST(MenuSession, PathsFileShowsDefaultsUntilAConcatenationFixesThem) {
  t::TempDir dir;
  t::write_file(dir / "a.fas", kAln);
  t::write_file(dir / "b.fas", kSix);
  t::write_file(dir / "list.txt", "a.fas\n\nb.fas\n");
  const std::string batch_off =
      "\n\na. Concatenated Blocks From Alignments In Batch: ......... Don't Save"
      "\nc. Concatenated Input Alignments In Batch: ............... Don't Save"
      "\nw. Concatenated Ungapped Alignments In Batch: ............ Don't Save";
  const std::string batch_a_on =
      "\n\na. Concatenated Blocks From Alignments In Batch: ......... Save"
      "\nc. Concatenated Input Alignments In Batch: ............... Don't Save"
      "\nw. Concatenated Ungapped Alignments In Batch: ............ Don't Save";
  const std::string current = "\nCURRENT FILE (paths file): list.txt\n";
  const auto result = t::run_selvane({}, dir.path(), "o\nlist.txt\nb\nm\ns\na\nm\nb\nm\nq\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output,
            kMainNoFile + kEcho + kOpenPrompt +
                "\n4 sequences and 12 positions in the first alignment file:\na.fas\n\n" +
                main_with(current, "Protein") + kEcho + block_screen("Default", "Default", 10) +
                kEcho + main_with(current, "Protein") + kEcho + saving_screen("Save", batch_off) +
                kEcho +
                "\nWARNING: You have selected to concatenate the input files. "
                "You should be sure that all files have sequences in correlated order and that "
                "your alignment program didn't change the order of the sequences. "
                "Sequence names of the last file in the paths file will be used for the "
                "concatenated files \n\n" +
                saving_screen("Save", batch_a_on) + kEcho + main_with(current, "Protein") + kEcho +
                block_screen("3", "3", 10) + kEcho + main_with(current, "Protein") + kEcho);
}

TEST(MenuSession, BatchRunGivesEachAlignmentItsOwnSequenceCounts) {
  t::TempDir dir;
  t::write_file(dir / "a.fas", kAln);
  t::write_file(dir / "b.fas", kSix);
  t::write_file(dir / "list.txt", "a.fas\n\nb.fas\n");
  const std::string current = "\nCURRENT FILE (paths file): list.txt\n";
  const auto result = t::run_selvane({"list.txt"}, dir.path(), "s\np\np\np\nm\ng\nb\nm\nq\n");
  EXPECT_EQ(result.status, 1);
  const std::string batch_off =
      "\n\na. Concatenated Blocks From Alignments In Batch: ......... Don't Save"
      "\nc. Concatenated Input Alignments In Batch: ............... Don't Save"
      "\nw. Concatenated Ungapped Alignments In Batch: ............ Don't Save";
  EXPECT_EQ(result.output,
            "\n4 sequences and 12 positions in the first alignment file:\na.fas\n\n" +
                main_with(current, "Protein") + kEcho + saving_screen("Save", batch_off) + kEcho +
                saving_screen("Save Text", batch_off) + kEcho +
                saving_screen("Save Short", batch_off) + kEcho +
                saving_screen("Don't Save", batch_off) + kEcho + main_with(current, "Protein") +
                kEcho +
                "a.fas\n"
                "Original alignment: 12 positions\n"
                "Selvane alignment:  0 positions (0 %) in 0 selected block(s)\n"
                "\n"
                "b.fas\n"
                "Original alignment: 12 positions\n"
                "Selvane alignment:  12 positions (100 %) in 1 selected block(s)\n"
                "\n" +
                main_with(current, "Protein") + kEcho + block_screen("Default", "Default", 10) +
                kEcho + main_with(current, "Protein") + kEcho);
  EXPECT_EQ(t::read_file(dir / "b.fas-sv"),
            ">t1\nMKVLAAGIVG LL\n>t2\nMKVLAAGIVG LL\n>t3\nMKVLAAGIVG LL\n"
            ">t4\nMKVLAAGIVG LL\n>t5\nMKVLAAGIVG LL\n>t6\nMKVLAAGIVG LL\n");
}

TEST(MenuSession, FileInNoKnownFormatEndsTheSessionWithTheFatalMessage) {
  t::TempDir dir;
  t::write_file(dir / "notes.txt", "not an alignment\n");
  const auto result = t::run_selvane({}, dir.path(), "o\nnotes.txt\nq\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, kMainNoFile + kEcho + kOpenPrompt +
                               "\nSequence not in NBRF/PIR or FASTA format\n"
                               "\nExecution terminated\n");
}

}  // namespace
}  // namespace selvane
