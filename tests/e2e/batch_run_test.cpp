// Batch runs over a paths file, end to end through the binary.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "driver/run.h"
#include "support/capture.h"
#include "support/harness.h"

namespace selvane {
namespace {

using testing::file_exists;
using testing::read_file;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

// Four sequences, every column conserved: one block of all 12 positions.
const char kFirst[] =
    ">s1\nMKVLAAGLLAPQ\n>s2\nMKVLAAGLLAPQ\n>s3\nMKVLAAGLLAPQ\n>s4\nMKVLAAGLLAPE\n";
// Four sequences with a gap at position 11: the piece [1, 10] is kept, [12, 15] is too short.
const char kSecond[] =
    ">t1\nACDEFGHIKL-MNPQ\n>t2\nACDEFGHIKLWMNPQ\n>t3\nACDEFGHIKLWMNPQ\n>t4\nACDEFGHIKLWMNPQ\n";
// Six sequences.
const char kSix[] =
    ">u1\nMKVLAAGLLAPQ\n>u2\nMKVLAAGLLAPQ\n>u3\nMKVLAAGLLAPQ\n>u4\nMKVLAAGLLAPQ\n"
    ">u5\nMKVLAAGLLAPQ\n>u6\nMKVLAAGLLAPQ\n";

const char kFirstReport[] =
    "\n4 sequences and 12 positions in the first alignment file:\na/x.fas\n\n";

std::string summary(const std::string& path, int nupo, int nupoung, int selected, int percent,
                    int blocks) {
  std::string text = path + "\nOriginal alignment: " + std::to_string(nupo) + " positions\n";
  if (nupoung >= 0) text += "Ungapped alignment: " + std::to_string(nupoung) + " positions\n";
  return text + "Selvane alignment:  " + std::to_string(selected) + " positions (" +
         std::to_string(percent) + " %) in " + std::to_string(blocks) + " selected block(s)\n\n";
}

TEST(BatchRun, ConcatenatesBlocksInputsAndUngappedAlignmentsBesideTheLastAlignment) {
  TempDir dir;
  write_file(dir / "a/x.fas", kFirst);
  write_file(dir / "b/y.fas", kSecond);
  // Blank lines anywhere are skipped; paths are relative to the working directory.
  write_file(dir / "batch/lists.txt", "\n\na/x.fas\n\n\nb/y.fas\n\n");

  const auto run = run_selvane({"batch/lists.txt", "-a=Y", "-c=Y", "-w=Y", "-p=n"}, dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, std::string(kFirstReport) + summary("a/x.fas", 12, 12, 12, 100, 1) +
                            summary("b/y.fas", 15, 14, 10, 66, 1) +
                            "Selvane alignment in batch: 22 positions\n\n");

  // The names are those of the last alignment.
  EXPECT_EQ(read_file(dir / "b/lists.txt-sv.seq"),
            ">t1\nMKVLAAGLLA PQACDEFGHI KL\n>t2\nMKVLAAGLLA PQACDEFGHI KL\n"
            ">t3\nMKVLAAGLLA PQACDEFGHI KL\n>t4\nMKVLAAGLLA PEACDEFGHI KL\n");
  EXPECT_EQ(read_file(dir / "b/lists.txt.seq"),
            ">t1\nMKVLAAGLLA PQACDEFGHI KL-MNPQ\n>t2\nMKVLAAGLLA PQACDEFGHI KLWMNPQ\n"
            ">t3\nMKVLAAGLLA PQACDEFGHI KLWMNPQ\n>t4\nMKVLAAGLLA PEACDEFGHI KLWMNPQ\n");
  EXPECT_EQ(read_file(dir / "b/lists.txt--.seq"),
            ">t1\nMKVLAAGLLA PQACDEFGHI KLMNPQ\n>t2\nMKVLAAGLLA PQACDEFGHI KLMNPQ\n"
            ">t3\nMKVLAAGLLA PQACDEFGHI KLMNPQ\n>t4\nMKVLAAGLLA PEACDEFGHI KLMNPQ\n");
  // Each alignment's own files stand beside it; -w alone writes no per-alignment ungapped file.
  EXPECT_EQ(read_file(dir / "a/x.fas-sv"),
            ">s1\nMKVLAAGLLA PQ\n>s2\nMKVLAAGLLA PQ\n>s3\nMKVLAAGLLA PQ\n>s4\nMKVLAAGLLA PE\n");
  EXPECT_EQ(read_file(dir / "b/y.fas-sv"),
            ">t1\nACDEFGHIKL \n>t2\nACDEFGHIKL \n>t3\nACDEFGHIKL \n>t4\nACDEFGHIKL \n");
  EXPECT_EQ(testing::list_files(dir / "a"), (std::vector<std::string>{"x.fas", "x.fas-sv"}));
  EXPECT_EQ(testing::list_files(dir / "batch"), (std::vector<std::string>{"lists.txt"}));
}

TEST(BatchRun, NbrfPirBatchWritesNbrfPirConcatenations) {
  TempDir dir;
  write_file(dir / "p1.pir", ">DL;one\nfirst\nACGTACGTAC*\n>DL;two\n\nACGTACGTAC*\n");
  write_file(dir / "p2.pir", ">DL;uno\n\nTTTTTGGGGG\nCCCCC*\n>DL;dos\n\nTTTTTGGGGGCCCCC\n*\n");
  write_file(dir / "list", "p1.pir\np2.pir");  // no line end after the last path
  const auto run = run_selvane({"list", "-c=y", "-s=n", "-p=n"}, dir.path());
  EXPECT_EQ(run.output, "\n2 sequences and 10 positions in the first alignment file:\np1.pir\n\n" +
                            summary("p1.pir", 10, -1, 10, 100, 1) +
                            summary("p2.pir", 15, -1, 15, 100, 1));
  EXPECT_EQ(read_file(dir / "list.seq"),
            ">DL;uno\n \nACGTACGTAC TTTTTGGGGG CCCCC*\n\n>DL;dos\n \nACGTACGTAC TTTTTGGGGG "
            "CCCCC*\n\n");
  EXPECT_FALSE(file_exists(dir / "list-sv.seq"));
}

TEST(BatchRun, OneAlignmentConcatenatedEqualsItsSelectedBlocksFile) {
  TempDir dir;
  write_file(
      dir / "y.pir",
      ">P1;t1\n\nACDEFGHIKL-MNPQ*\n>P1;t2\n\nACDEFGHIKLWMNPQ*\n>P1;t3\n\nACDEFGHIKLWMNPQ*\n");
  write_file(dir / "one", "y.pir\n");
  const auto run = run_selvane({"one", "-a=Y", "-p=n"}, dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(read_file(dir / "y.pir-sv"),
            ">P1;t1\n \nACDEFGHIKL *\n\n>P1;t2\n \nACDEFGHIKL *\n\n>P1;t3\n \nACDEFGHIKL *\n\n");
  EXPECT_EQ(read_file(dir / "one-sv.seq"), read_file(dir / "y.pir-sv"));
}

TEST(BatchRun, FixedSequenceCountsStopAtAnAlignmentOfAnotherSize) {
  for (const std::string option : {"-a=Y", "-b1=3", "-b2=3", "-c=y", "-w=Y"}) {
    TempDir dir;
    write_file(dir / "a/x.fas", kFirst);
    write_file(dir / "six.fas", kSix);
    write_file(dir / "paths", "a/x.fas\nsix.fas\n");
    const auto run = run_selvane({"paths", option}, dir.path());
    EXPECT_EQ(run.status, 1) << option;
    const int nupoung = option == "-w=Y" ? 12 : -1;
    EXPECT_EQ(run.output, std::string(kFirstReport) + summary("a/x.fas", 12, nupoung, 12, 100, 1) +
                              "\nAlignments with different number of sequences\n"
                              "\nExecution terminated\n")
        << option;
    // The first alignment's files were written before the stop; no concatenation was.
    EXPECT_TRUE(file_exists(dir / "a/x.fas-sv")) << option;
    EXPECT_TRUE(file_exists(dir / "a/x.fas-sv.htm")) << option;
    EXPECT_FALSE(file_exists(dir / "six.fas-sv")) << option;
    EXPECT_EQ(testing::list_files(dir.path()), (std::vector<std::string>{"paths", "six.fas"}))
        << option;
  }
}

TEST(BatchRun, WithoutFixedCountsEachAlignmentGetsItsOwnB1AndB2) {
  TempDir dir;
  write_file(dir / "a/x.fas", kFirst);
  write_file(dir / "six.fas", kSix);
  write_file(dir / "paths", "a/x.fas\nsix.fas\n");
  const auto run = run_selvane({"paths", "-p=s", "-a=N"}, dir.path());
  EXPECT_EQ(run.output, std::string(kFirstReport) + summary("a/x.fas", 12, -1, 12, 100, 1) +
                            summary("six.fas", 12, -1, 12, 100, 1));
  const auto parameters = [](int b1, int b2) {
    return "\nMinimum Number Of Sequences For A Conserved Position: " + std::to_string(b1) +
           "\nMinimum Number Of Sequences For A Flanking Position: " + std::to_string(b2);
  };
  EXPECT_NE(read_file(dir / "a/x.fas-sv.txts").find(parameters(3, 3)), std::string::npos);
  EXPECT_NE(read_file(dir / "six.fas-sv.txts").find(parameters(4, 5)), std::string::npos);
}

TEST(BatchRun, PathsOfAnyLengthAndWindowsLineEnds) {
  TempDir dir;
  const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
  write_file(dir / deep / "x.fas", kFirst);
  write_file(dir / "y y.fas", kSecond);
  write_file(dir / "paths", deep + "/x.fas\r\n\r\ny y.fas\r\n");
  const auto run = run_selvane({"paths", "-p=n", "-a=y"}, dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "\n4 sequences and 12 positions in the first alignment file:\n" + deep +
                            "/x.fas\n\n" + summary(deep + "/x.fas", 12, -1, 12, 100, 1) +
                            summary("y y.fas", 15, -1, 10, 66, 1) +
                            "Selvane alignment in batch: 22 positions\n\n");
  EXPECT_TRUE(file_exists(dir / deep / "x.fas-sv"));
  EXPECT_TRUE(file_exists(dir / "y y.fas-sv"));
  EXPECT_TRUE(file_exists(dir / "paths-sv.seq"));
}

TEST(BatchRun, LaterAlignmentsAreReadInTheFirstOnesFormat) {
  TempDir dir;
  write_file(dir / "p1.pir", ">P1;one\n\nMKVLAAGLLA*\n>P1;two\n\nMKVLAAGLLA*\n");
  write_file(dir / "f.fas", ">a\nMKVLAAGLLA\n>b\nMKVLAAGLLA\n");
  write_file(dir / "paths", "p1.pir\nf.fas\n");
  const auto run = run_selvane({"paths", "-p=n"}, dir.path());
  EXPECT_EQ(run.output, "\n2 sequences and 10 positions in the first alignment file:\np1.pir\n\n" +
                            summary("p1.pir", 10, -1, 10, 100, 1) +
                            "\nFile not in NBRF/PIR format\n\nExecution terminated\n");
  EXPECT_TRUE(file_exists(dir / "p1.pir-sv"));
}

TEST(BatchRun, AListedAlignmentThatCannotBeOpenedStopsTheBatch) {
  TempDir dir;
  write_file(dir / "a/x.fas", kFirst);
  write_file(dir / "paths", "a/x.fas\nmissing.fas\n");
  const auto run = run_selvane({"paths", "-p=n", "-c=Y"}, dir.path());
  EXPECT_EQ(run.output, std::string(kFirstReport) + summary("a/x.fas", 12, -1, 12, 100, 1) +
                            "\nFile not opened\n\nExecution terminated\n");
  EXPECT_FALSE(file_exists(dir / "a/paths.seq"));
}

// A first entry that exists but cannot be read is named with the system's reason, as any listed
// alignment, not taken for the bad first line of an alignment. Root reads every file: as root,
// the run is another user's.
TEST(BatchRun, AnUnreadableFirstEntryIsNamedWithTheSystemsReason) {
  namespace fs = std::filesystem;
  TempDir dir;
  write_file(dir / "a/x.fas", kFirst);
  write_file(dir / "a/y.fas", kSecond);
  write_file(dir / "paths", "a/x.fas\na/y.fas\n");
  fs::permissions(dir / "a/x.fas", fs::perms::none);
  testing::RunResult run;
  if (geteuid() == 0) {
    fs::copy_file(SELVANE_BINARY, dir / "selvane");
    fs::permissions(dir.path(),
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    run = testing::run_program("setpriv",
                               {"--reuid=65534", "--regid=65534", "--clear-groups",
                                (dir / "selvane").string(), "paths", "-p=n"},
                               dir.path());
    if (run.status == 127 || run.errors.starts_with("setpriv:")) GTEST_SKIP() << run.errors;
  } else {
    run = run_selvane({"paths", "-p=n"}, dir.path());
  }
  EXPECT_EQ(run.output, "\nFile not opened\n\nExecution terminated\n");
  EXPECT_EQ(run.errors,
            "selvane: cannot open input \"a/x.fas\": Permission denied (listed on line 1 of "
            "paths)\n");
  EXPECT_EQ(run.status, 1);
}

TEST(BatchRun, APathsFileShortenedAfterItWasCountedEndsTheBatchEarly) {
  TempDir dir;
  write_file(dir / "a/x.fas", kFirst);
  write_file(dir / "b/y.fas", kSecond);
  // The test runs in its own working directory, so the paths are absolute.
  write_file(dir / "paths", (dir / "a/x.fas").string() + "\n" + (dir / "b/y.fas").string() + "\n");
  RunState st;
  st.input.filename = (dir / "paths").string();
  testing::Capture opened;
  ASSERT_TRUE(open_input(st, opened.out()).has_value());
  ASSERT_EQ(st.input.numal, 2);
  st.outputs.tog_viewfile = ResultsForm::kNone;
  st.outputs.tog_allfile_init = 1;
  st.input.tog_sub = 1;
  // The paths file loses its second line between opening and the run.
  write_file(dir / "paths", "\n" + (dir / "a/x.fas").string() + "\n");
  testing::Capture run;
  calculate(st, run.out());
  EXPECT_EQ(run.text(), summary((dir / "a/x.fas").string(), 12, -1, 12, 100, 1));
  EXPECT_EQ(read_file(dir / "a/paths.seq"),
            ">s1\nMKVLAAGLLA PQ\n>s2\nMKVLAAGLLA PQ\n>s3\nMKVLAAGLLA PQ\n>s4\nMKVLAAGLLA PE\n");
}

}  // namespace
}  // namespace selvane
