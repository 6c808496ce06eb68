// Errors of the system are errors of the run, in every mode: an output that cannot be written
// completely ends the run with "File not written" and leaves the old file as it was; an input
// that cannot be read ends it with "File not read" instead of passing for a shorter alignment.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/safety_support.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::first_report;
using testing::kFour;
using testing::kTerminated;
using testing::read_file;
using testing::run_selvane;
using testing::snapshot;
using testing::TempDir;
using testing::write_file;

const char kSummary[] =
    "a.fas\nOriginal alignment: 12 positions\n"
    "Selvane alignment:  12 positions (100 %) in 1 selected block(s)\n\n";

// A device that fails every write as a full disk does stands where the outputs go. It cannot be
// replaced, so it is written in place, and the failure is reported whatever the mode.
TEST(IoErrors, AFailedWriteEndsTheRunInEveryMode) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const bool posix : {false, true}) {
    SCOPED_TRACE(posix);
    TempDir dir;
    write_file(dir / "a.fas", kFour);
    fs::create_symlink("/dev/full", dir / "a.fas-sv.txt");
    std::vector<std::string> args = {"a.fas", "-p=t", "-u=y"};
    if (posix) args.push_back("--posix-exit");
    const auto result = run_selvane(args, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, first_report("a.fas") +
                                 "a.fas\nOriginal alignment: 12 positions\n"
                                 "Ungapped alignment: 12 positions\n"
                                 "Selvane alignment:  12 positions (100 %) in 1 selected block(s)\n"
                                 "\n\nFile not written\n" +
                                 kTerminated);
    EXPECT_NE(result.errors.find("a.fas-sv.txt: cannot write the output file: No space left"),
              std::string::npos)
        << result.errors;
    // The writer after the failed one never ran.
    EXPECT_FALSE(fs::exists(dir / "a.fas--"));
  }
}

// A real file system that fills up: the output that no longer fits is not written, and no
// truncated file stands under an output's name. Needs the right to mount (root, outside a
// locked-down container).
TEST(IoErrors, AFullFileSystemLeavesNoTruncatedOutput) {
  TempDir dir;
  const fs::path small = dir / "small";
  fs::create_directory(small);
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
  }
  std::string alignment;
  for (int s = 1; s <= 8; ++s) {
    alignment += ">s" + std::to_string(s) + "\n" + std::string(20000, "ACDEFGHIKL"[s]) + "\n";
  }
  write_file(small / "a.fas", alignment);
  write_file(dir / "reference/a.fas", alignment);
  const std::vector<std::string> args = {"a.fas", "-k=y", "-n=y", "-u=y"};
  run_selvane(args, dir / "reference");
  // Files of an earlier run, small enough to fit.
  for (const char* name : {"a.fas-sv", "a.fas-sv.htm", "a.fas-svMask", "a.fas--"}) {
    write_file(small / name, std::string("old ") + name + "\n");
  }
  const auto before = snapshot(small);

  const auto result = run_selvane(args, small);
  const auto after = snapshot(small);
  umount(small.c_str());
  ASSERT_FALSE(read_file(dir / "reference/a.fas-sv.htm").size() < 256 * 1024)
      << "the outputs would fit: the test proves nothing";

  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("\nFile not written\n\nExecution terminated\n"), std::string::npos)
      << result.output;
  EXPECT_NE(result.errors.find("No space left on device"), std::string::npos) << result.errors;
  for (const auto& [name, content] : after) {
    ASSERT_NE(name[0], '.') << "temporary file left: " << name;
    const bool as_before = before.contains(name) && before.at(name) == content;
    const bool complete = content == read_file(dir / "reference" / name);
    EXPECT_TRUE(as_before || complete) << name << " is truncated";
  }
}

// /proc/self/mem reads as a regular file whose first page fails with an I/O error.
TEST(IoErrors, AReadErrorIsNotTheEndOfTheFile) {
  TempDir dir;
  write_file(dir / "a.fas", kFour);
  write_file(dir / "list", "a.fas\n/proc/self/mem\n");
  struct Case {
    std::vector<std::string> args;
    std::string output;
  };
  const std::vector<Case> cases = {
      {{"/proc/self/mem", "-p=n"}, ""},
      {{"list", "-p=n"}, first_report("a.fas") + kSummary},
  };
  for (const Case& c : cases) {
    const auto result = run_selvane(c.args, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, c.output + "\nFile not read\n" + kTerminated);
    EXPECT_NE(result.errors.find("/proc/self/mem: cannot read the file: Input/output error"),
              std::string::npos)
        << result.errors;
  }
}

TEST(IoErrors, AnOutputThatCannotBeCreatedIsNamed) {
  TempDir dir;
  write_file(dir / "a.fas", kFour);
  const auto result = run_selvane({"a.fas", "-e=/x"}, dir.path());
  EXPECT_EQ(result.output, first_report("a.fas") + kSummary + "\nFile not opened\n" + kTerminated);
  EXPECT_EQ(result.errors, "selvane: a.fas/x: cannot create the output file: Not a directory\n");
}

}  // namespace
}  // namespace selvane
