// The invocations pipelines and package checks rely on: --version, --help and their short
// forms, and the conventional exit status of --posix-exit, end to end through the binary.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "support/harness.h"

namespace selvane {
namespace {

using testing::file_exists;
using testing::list_files;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

// Four sequences, every column conserved: b1 = b2 = 3, one block of all 12 positions.
const char kAlignment[] =
    ">s1\nMKVLAAGLLAPQ\n>s2\nMKVLAAGLLAPQ\n>s3\nMKVLAAGLLAPQ\n>s4\nMKVLAAGLLAPE\n";
// Four sequences, then five: a batch that fixes b1 and b2 stops at the second.
const char kFive[] =
    ">r1\nMKVLAAGLLAPQ\n>r2\nMKVLAAGLLAPQ\n>r3\nMKVLAAGLLAPQ\n>r4\nMKVLAAGLLAPQ\n"
    ">r5\nMKVLAAGLLAPQ\n";

std::string report(const std::string& path) {
  return "\n4 sequences and 12 positions in the first alignment file:\n" + path + "\n\n";
}

std::string summary(const std::string& path) {
  return path +
         "\nOriginal alignment: 12 positions\n"
         "Selvane alignment:  12 positions (100 %) in 1 selected block(s)\n\n";
}

const char kTerminated[] = "\nExecution terminated\n";
const char kNotOpened[] = "\n* File not opened *\n";
const char kNoSequences[] =
    "\nFile not in NBRF/PIR format or too few sequences in the alignment: 0\n";

TEST(Invocation, VersionAndHelpAloneAnswerAndExitWithZero) {
  struct Case {
    std::string arg;
    bool help;
  };
  const std::vector<Case> cases = {
      {"--version", false}, {"-V", false}, {"--help", true}, {"-h", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arg);
    TempDir dir;
    const auto run = run_selvane({c.arg}, dir.path());
    EXPECT_EQ(run.status, 0);
    if (c.help) {
      EXPECT_EQ(run.output.rfind("Usage: selvane [input [option ...]]\n", 0), 0u) << run.output;
      EXPECT_NE(run.output.find("\nExit status: "), std::string::npos);
      EXPECT_NE(run.output.find("\nExample:\n  selvane "), std::string::npos);
      EXPECT_EQ(run.output.back(), '\n');
    } else {
      EXPECT_EQ(run.output, "selvane " + std::string(kVersion) + "\n");
    }
    // Nothing is opened, so nothing is written.
    EXPECT_TRUE(list_files(dir.path()).empty());
  }
}

TEST(Invocation, LongAndShortFormsPrintTheSameText) {
  TempDir dir;
  EXPECT_EQ(run_selvane({"-h"}, dir.path()).output, run_selvane({"--help"}, dir.path()).output);
  EXPECT_EQ(run_selvane({"-V"}, dir.path()).output, run_selvane({"--version"}, dir.path()).output);
}

// A file that really has one of these names is the input, as every first argument is.
TEST(Invocation, AFileNamedLikeTheRequestIsOpenedAsTheInput) {
  for (const std::string name : {"--version", "-V", "--help", "-h"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    write_file(dir / name, kAlignment);
    // Without options the menus follow the report; "q" leaves them.
    const auto alone = run_selvane({name}, dir.path(), "q\n");
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(alone.output.rfind(report(name), 0), 0u) << alone.output;
    EXPECT_EQ(alone.output.find("selvane " + std::string(kVersion) + "\n"), std::string::npos);
    EXPECT_EQ(alone.output.find("Usage:"), std::string::npos);

    const auto run = run_selvane({name, "-p=n"}, dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, report(name) + summary(name));
    EXPECT_TRUE(file_exists(dir / (name + "-sv")));
  }
}

// Only the exact words, and only as the one argument, are requests.
TEST(Invocation, OtherArgumentsStayInputNamesOrIgnoredOptions) {
  struct Case {
    std::vector<std::string> args;
    std::string output;
  };
  const std::vector<Case> cases = {
      // Near misses alone are input names that cannot be opened: the menus would follow.
      {{"-v"}, kNotOpened},
      {{"--Version"}, kNotOpened},
      {{"-help"}, kNotOpened},
      {{"--help="}, kNotOpened},
      // Followed by an option, a request word is an input name like any other.
      {{"--version", "-p=n"}, std::string(kNotOpened) + kNoSequences + kTerminated},
      {{"-h", "--posix-exit"}, std::string(kNotOpened) + kNoSequences + kTerminated},
      // After the input the short forms are ignored arguments.
      {{"aln.fas", "-h", "-V", "--posix"}, report("aln.fas") + summary("aln.fas")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
    TempDir dir;
    write_file(dir / "aln.fas", kAlignment);
    const auto run = run_selvane(c.args, dir.path());  // standard input closed: menus end
    EXPECT_EQ(run.status, 1);
    // The menus, when they start, print after these lines.
    EXPECT_EQ(run.output.substr(0, c.output.size()), c.output);
    if (c.args.size() > 1) {
      EXPECT_EQ(run.output, c.output);
    }
  }
}

// Anywhere after the input, --help and --version answer before the input is opened: status 0,
// nothing read or written, whatever else the command line holds; the first of them answers.
TEST(Invocation, HelpAndVersionAfterTheInputAnswerAndRunNothing) {
  const std::string usage = run_selvane({"--help"}, ".").output;
  const std::string version = run_selvane({"--version"}, ".").output;
  const struct {
    std::vector<std::string> args;
    std::string output;
  } cases[] = {
      {{"aln.fas", "--version"}, version},
      {{"list.txt", "-a=y", "--by-name", "--help", "-b5=x"}, usage},
      {{"missing.fas", "--strict", "--help", "--version"}, usage},
      {{"aln.fas", "--version=2", "--version", "--help"}, version},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    TempDir dir;
    write_file(dir / "aln.fas", kAlignment);
    write_file(dir / "list.txt", "aln.fas\naln.fas\n");
    const auto run = run_selvane(c.args, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, c.output);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"aln.fas", "list.txt"}));
  }
}

TEST(PosixExit, ZeroAfterAFinishedRunOneAfterAnError) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string output;
  };
  const std::string ok = report("aln.fas") + summary("aln.fas");
  const std::string b5_warning =
      "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With Half) or A "
      "(All)\n";
  const std::vector<Case> cases = {
      {"alone after the input", {"aln.fas", "--posix-exit"}, 0, ok},
      {"among other options", {"aln.fas", "-p=t", "--posix-exit", "-k=y"}, 0, ok},
      {"a refused value is no error",
       {"aln.fas", "--posix-exit", "-b5=x"},
       0,
       report("aln.fas") + b5_warning + summary("aln.fas")},
      {"without it", {"aln.fas", "-p=n"}, 1, ok},
      {"only the exact word", {"aln.fas", "--posix-exit=1", "--POSIX-EXIT", "-posix-exit"}, 1, ok},
      {"input not in a known format",
       {"bad.fas", "--posix-exit"},
       1,
       std::string("\nSequence not in NBRF/PIR or FASTA format\n") + kTerminated},
      {"input that cannot be opened",
       {"missing.fas", "--posix-exit"},
       1,
       std::string(kNotOpened) + kNoSequences + kTerminated},
      {"before the input it is the input name",
       {"--posix-exit", "aln.fas"},
       1,
       std::string(kNotOpened) + kNoSequences + kTerminated},
      {"an output file that cannot be created",
       {"aln.fas", "-s=n", "-p=s", "--posix-exit"},
       1,
       ok + "\nFile not opened\n" + kTerminated},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_file(dir / "aln.fas", kAlignment);
    write_file(dir / "bad.fas", "MKVLAAGLLAPQ\n");
    // A folder where the short results file would go: it cannot be created.
    std::filesystem::create_directory(dir / "aln.fas-sv.txts");
    const auto run = run_selvane(c.args, dir.path());
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.output, c.output);
  }
}

TEST(PosixExit, TheRunStillWritesItsFiles) {
  TempDir dir;
  write_file(dir / "aln.fas", kAlignment);
  const auto run = run_selvane({"aln.fas", "-p=t", "-k=y", "--posix-exit"}, dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(list_files(dir.path()), (std::vector<std::string>{"aln.fas", "aln.fas-sv",
                                                              "aln.fas-sv.txt", "aln.fas-svMask"}));
}

TEST(PosixExit, BatchRunsEndWithZeroOrWithOneAtTheirError) {
  TempDir dir;
  write_file(dir / "a/x.fas", kAlignment);
  write_file(dir / "b/y.fas", kAlignment);
  write_file(dir / "c/z.fas", kFive);
  write_file(dir / "good.txt", "a/x.fas\nb/y.fas\n");
  write_file(dir / "mixed.txt", "a/x.fas\nc/z.fas\n");

  const auto good = run_selvane({"good.txt", "-a=y", "-p=n", "--posix-exit"}, dir.path());
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.output, report("a/x.fas") + summary("a/x.fas") + summary("b/y.fas") +
                             "Selvane alignment in batch: 24 positions\n\n");
  EXPECT_TRUE(file_exists(dir / "b/good.txt-sv.seq"));

  // -a=y fixes b1 and b2 for the batch, so five sequences after four stop it.
  const auto mixed = run_selvane({"mixed.txt", "-a=y", "-p=n", "--posix-exit"}, dir.path());
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.output, report("a/x.fas") + summary("a/x.fas") +
                              "\nAlignments with different number of sequences\n" + kTerminated);
}

// Gaps every third column: with the default gap policy nothing is selected.
const char kGappy[] =
    ">s1\nMK-LA-GL-AP-\n>s2\nMKVLAAGLLAPQ\n>s3\nMKVLAAGLLAPQ\n>s4\nMKVLAAGLLAPE\n";

TEST(Strict, ARunThatCannotDoWhatWasAskedEndsWithOne) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> files;  // besides the inputs
    std::string error;               // part of standard error
  };
  const std::vector<Case> cases = {
      {"a value given apart from its option",
       {"aln.fas", "-b5", "h", "--strict"},
       1,
       {},
       "selvane: aln.fas: --strict: stopping before any file is written, because of \"-b5\", "
       "\"h\""},
      {"a refused value", {"aln.fas", "-b5=x", "--strict"}, 1, {}, "because of \"-b5=x\""},
      {"a refused value of a long option, --strict first",
       {"aln.fas", "--strict", "--out-format=xml"},
       1,
       {},
       "because of \"--out-format=xml\""},
      {"an input that cannot be opened",
       {"missing.fas", "--strict"},
       1,
       {},
       "because the input could not be opened"},
      {"nothing selected: the files are written",
       {"gappy.fas", "--strict", "-p=s"},
       1,
       {"gappy.fas-sv", "gappy.fas-sv.txts"},
       "selvane: gappy.fas: --strict: the run fails: no position was selected"},
      {"nothing selected, without --strict",
       {"gappy.fas", "--posix-exit", "-p=n"},
       0,
       {"gappy.fas-sv"},
       "selvane: gappy.fas: no position selected; 4 of 12 positions are excluded, and with the gap "
       "policy None (b5) every column with a gap is: try -b5=h"},
      {"a batch where one alignment selects something",
       {"some.txt", "--strict", "-a=y", "-s=n", "-p=n"},
       0,
       {"some.txt-sv.seq"},
       "gappy.fas: no position selected"},
      {"a batch where none selects anything",
       {"none.txt", "--strict", "-s=n", "-p=n"},
       1,
       {},
       "selvane: none.txt: --strict: the run fails: no alignment of the batch selected a position"},
      {"all is well", {"aln.fas", "--strict", "-p=n"}, 0, {"aln.fas-sv"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::map<std::string, std::string> inputs = {{"aln.fas", kAlignment},
                                                       {"gappy.fas", kGappy},
                                                       {"some.txt", "gappy.fas\naln.fas\n"},
                                                       {"none.txt", "gappy.fas\ngappy.fas\n"}};
    std::vector<std::string> expected_files = c.files;
    for (const auto& [name, content] : inputs) {
      write_file(dir / name, content);
      expected_files.push_back(name);
    }
    std::sort(expected_files.begin(), expected_files.end());
    const auto run = run_selvane(c.args, dir.path());
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(list_files(dir.path()), expected_files);
    if (c.error.empty()) {
      EXPECT_EQ(run.errors, "");
    } else {
      EXPECT_NE(run.errors.find(c.error), std::string::npos) << run.errors;
    }
  }
}

}  // namespace
}  // namespace selvane

namespace selvane {
namespace {

TEST(PosixExit, AFullDiskIsAFailureNotASuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const std::string file : {"aln.fas-sv", "aln.fas-sv.txt", "aln.fas--"}) {
    SCOPED_TRACE(file);
    TempDir dir;
    write_file(dir / "aln.fas", kAlignment);
    // Every write to this output fails as on a full disk.
    std::filesystem::create_symlink("/dev/full", dir / file);
    const auto posix = run_selvane({"aln.fas", "-p=t", "-u=y", "--posix-exit"}, dir.path());
    EXPECT_EQ(posix.status, 1);
    EXPECT_EQ(posix.output, report("aln.fas") +
                                "aln.fas\nOriginal alignment: 12 positions\n"
                                "Ungapped alignment: 12 positions\n"
                                "Selvane alignment:  12 positions (100 %) in 1 selected block(s)\n"
                                "\n\nFile not written\n" +
                                kTerminated);
    // Without the option the run ends the same way: a write error is fatal in every mode.
    const auto plain = run_selvane({"aln.fas", "-p=t", "-u=y"}, dir.path());
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.output, posix.output);
    EXPECT_NE(plain.errors.find(file + ": cannot write the output file: No space left"),
              std::string::npos)
        << plain.errors;
    // The writers after the failed one never ran.
    if (file == "aln.fas-sv.txt") {
      EXPECT_FALSE(std::filesystem::exists(dir / "aln.fas--"));
    }
  }
}

}  // namespace
}  // namespace selvane
