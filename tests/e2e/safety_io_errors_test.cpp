// Errors of the system are errors of the run, in every mode: an output that cannot be written
// completely ends the run with "File not written" and leaves the old file as it was; an input
// that cannot be read ends it with "File not read" instead of passing for a shorter alignment.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

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

// A real file system that fills up: the output that no longer fits is not written, and no
// truncated file stands under an output's name, whether the blocks or the inodes run out, and
// also where the folder refuses new files and the old outputs are overwritten in place. Needs
// the right to mount (root, outside a locked-down container).
TEST(IoErrors, AFullFileSystemLeavesNoTruncatedOutput) {
  struct Case {
    std::string mount_options;
    bool fill_inodes;  // no inode left for a temporary file
    bool in_place;     // run as another user, who may write the old outputs but not the folder
  };
  for (const Case& c : std::vector<Case>{{"size=256k", false, false},
                                         {"size=256k,nr_inodes=32", true, false},
                                         {"size=256k,mode=0555", false, true}}) {
    SCOPED_TRACE(c.mount_options);
    TempDir dir;
    const fs::path small = dir / "small";
    fs::create_directory(small);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, c.mount_options.c_str()) != 0) {
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
    for (const auto& name : testing::list_files(dir / "reference")) {
      if (name == "a.fas") continue;
      write_file(small / name, "old " + name + "\n");
      if (c.in_place) {
        EXPECT_EQ(chown((small / name).c_str(), 65534, 65534), 0);
      }
    }
    for (int i = 0; c.fill_inodes; ++i) {
      const int fd = open((small / ("z" + std::to_string(i))).c_str(), O_CREAT | O_WRONLY, 0644);
      if (fd < 0) break;
      close(fd);
    }
    const auto before = snapshot(small);

    testing::RunResult result;
    if (c.in_place) {
      // The binary where the other user surely reaches it.
      fs::copy_file(SELVANE_BINARY, dir / "selvane");
      fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_exec);
      std::vector<std::string> words = {"--reuid=65534", "--regid=65534", "--clear-groups",
                                        (dir / "selvane").string()};
      words.insert(words.end(), args.begin(), args.end());
      result = testing::run_program("setpriv", words, small);
    } else {
      result = run_selvane(args, small);
    }
    const auto after = snapshot(small);
    umount(small.c_str());
    ASSERT_FALSE(read_file(dir / "reference/a.fas-sv.htm").size() < 256 * 1024)
        << "the outputs would fit: the test proves nothing";

    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("\nFile not written\n\nExecution terminated\n"), std::string::npos)
        << result.output;
    EXPECT_NE(result.errors.find("No space left on device; the file is left as it was"),
              std::string::npos)
        << result.errors;
    for (const auto& [name, content] : after) {
      ASSERT_NE(name[0], '.') << "temporary file left: " << name;
      const bool as_before = before.contains(name) && before.at(name) == content;
      EXPECT_TRUE(as_before || content == read_file(dir / "reference" / name))
          << name << " is truncated";
    }
  }
}

// A file past the size limit and a standard output that cannot be written are failures too,
// reported as such (status 1 even with --posix-exit), not a silent death or a success.
TEST(IoErrors, AFileSizeLimitOrALostStandardOutputFailsTheRun) {
  TempDir dir;
  write_file(dir / "a.fas", kFour);
  struct Case {
    std::string shell;  // runs selvane as "$0" "$@"
    std::vector<std::string> args;
    std::string output_end;
    std::string error;
  };
  const std::string unwritten = "selvane: standard output could not be written: No space left";
  const std::vector<Case> cases = {
      {"ulimit -f 1; exec \"$0\" \"$@\"",
       {"a.fas", "-k=y"},
       "\nFile not written\n" + std::string(kTerminated),
       "File too large; no file is created"},
      {"exec \"$0\" \"$@\" >/dev/full", {"a.fas", "-s=y", "--posix-exit"}, "", unwritten},
      {"exec \"$0\" \"$@\" >/dev/full", {"a.fas", "-s=y"}, "", unwritten},
      {"exec \"$0\" \"$@\" >/dev/full", {"--version"}, "", unwritten},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shell + " " + c.args.back());
    std::vector<std::string> words = {"-c", c.shell, SELVANE_BINARY};
    words.insert(words.end(), c.args.begin(), c.args.end());
    const auto result = testing::run_program("sh", words, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.output.ends_with(c.output_end)) << result.output;
    EXPECT_NE(result.errors.find(c.error), std::string::npos) << result.errors;
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
