// Inputs that are not plain files read by name: gzip data (known by its first bytes, one member,
// several or bgzip's blocks), standard input, FIFOs and process substitution, each read once;
// and --out, which sends the selected blocks to a file of its own or to standard output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/run_parse.h"
#include "support/compress.h"
#include "support/harness.h"

namespace selvane {
namespace {

using testing::file_exists;
using testing::list_files;
using testing::read_file;
using testing::RunResult;
using testing::TempDir;
using testing::write_file;

// Runs `command` under bash in `dir`, $S standing for selvane.
RunResult shell(const std::string& command, const TempDir& dir) {
  return testing::run_program("bash", {"-c", "S='" SELVANE_BINARY "'; " + command}, dir.path());
}

// The example alignment, plain and as gzip data of every shape, in a fresh folder.
struct Inputs {
  Inputs() {
    text = read_file(testing::source_dir() / "examples" / "proteases.fas");
    write_file(dir / "a.fas", text);
    write_file(dir / "a.gz", testing::gzip(text));
    write_file(dir / "m.gz", testing::gzip(text, 1000));
    write_file(dir / "b.gz", testing::gzip(text, 4096, true));
    write_file(dir / "list.gz", testing::gzip("\nm.gz\n"));
    // The same alignment in relaxed sequential PHYLIP (its names hold no blank).
    const std::vector<testing::Entry> entries = testing::read_entries(text, false);
    std::string phylip =
        std::to_string(entries.size()) + " " + std::to_string(entries[0].row.size()) + "\n";
    for (const testing::Entry& e : entries) phylip += e.name + " " + e.row + "\n";
    write_file(dir / "a.phy.gz", testing::gzip(phylip));
  }
  TempDir dir;
  std::string text;
};

TEST(InputStreams, EveryWayAnInputArrivesGivesTheSameSelectedBlocks) {
  struct Way {
    const char* label;
    const char* command;
    const char* blocks;  // the file that holds the selected blocks; empty: standard output
  };
  const Way ways[] = {
      {"file by name", "$S a.fas -p=n --out=-", ""},
      {"gzip", "$S a.gz -p=n --out=-", ""},
      {"gzip of several members", "$S m.gz -p=n --out=-", ""},
      {"bgzip", "$S b.gz -p=n --out=-", ""},
      {"- from a pipe", "cat a.fas | $S - -p=n --out=-", ""},
      {"- from a file", "$S - -p=n --out=- < a.fas", ""},
      {"bgzip on -", "cat b.gz | $S - -p=n --out=-", ""},
      {"/dev/stdin", "$S /dev/stdin -p=n --out=- < m.gz", ""},
      {"FIFO", "mkfifo f; cat m.gz > f & $S f -p=n --out=-", ""},
      {"<(...)", "$S <(cat a.fas) -p=n --out=-", ""},
      {"PHYLIP gzip on -", "cat a.phy.gz | $S - -p=n --out=- --in-format=auto --out-format=fasta",
       ""},
      {"paths file on -", "echo b.gz | $S - -p=n", "b.gz-sv"},
      {"gzip paths file", "$S list.gz -p=n", "m.gz-sv"},
  };
  Inputs in;
  const RunResult reference = testing::run_selvane({"a.fas", "-p=n"}, in.dir.path());
  ASSERT_EQ(reference.status, 1);
  const std::string expected = read_file(in.dir / "a.fas-sv");
  ASSERT_NE(expected.find(">"), std::string::npos);
  const std::vector<std::string> before = list_files(in.dir.path());
  for (const Way& way : ways) {
    SCOPED_TRACE(way.label);
    const RunResult run = shell(way.command, in.dir);
    EXPECT_EQ(run.status, 1) << run.errors;
    const std::string blocks(way.blocks);
    if (blocks.empty()) {
      // Standard output holds the blocks alone; the report went to standard error.
      EXPECT_EQ(run.output, expected);
      EXPECT_NE(run.errors.find("Selvane alignment:"), std::string::npos) << run.errors;
      EXPECT_EQ(list_files(in.dir.path()), before);
    } else {
      EXPECT_EQ(read_file(in.dir / blocks), expected);
      std::filesystem::remove(in.dir / blocks);
    }
    std::filesystem::remove(in.dir / "f");
  }
}

// Standard input has no name and no folder: its outputs are named "stdin" in the working
// folder or that of --outdir, and one of them cannot overwrite what standard input reads.
TEST(InputStreams, StandardInputIsNamedStdinAndItsOutputsAreGuarded) {
  Inputs in;
  ASSERT_EQ(shell("$S <(cat a.fas) -p=n --outdir=o", in.dir).status, 1);
  EXPECT_EQ(list_files(in.dir / "o"), std::vector<std::string>{"stdin-sv"});
  const std::string blocks = read_file(in.dir / "o" / "stdin-sv");
  std::filesystem::copy(in.dir / "o" / "stdin-sv", in.dir / "stdin-sv");
  const RunResult guarded = shell("$S - -p=n < stdin-sv", in.dir);
  EXPECT_EQ(guarded.status, 1);
  EXPECT_NE(guarded.output.find("\nOutput file would overwrite an input file\nOutput file: "
                                "stdin-sv\nInput file:  /dev/stdin\n"),
            std::string::npos)
      << guarded.output;
  EXPECT_EQ(read_file(in.dir / "stdin-sv"), blocks);
}

TEST(InputStreams, DamagedGzipDataIsAFileNotReadAndNothingIsWritten) {
  Inputs in;
  const std::string whole = read_file(in.dir / "m.gz");
  struct Damage {
    const char* label;
    std::string data;
    const char* reason;
  };
  std::string flipped = whole;
  flipped[whole.size() / 2] = static_cast<char>(flipped[whole.size() / 2] ^ 0x55);
  const Damage damages[] = {
      {"cut short", whole.substr(0, whole.size() - 8), "is cut short (the file is truncated)"},
      {"a byte changed", flipped, "its gzip data is damaged ("},
      {"other bytes after it", whole + "not gzip", "what follows its gzip data is not gzip data"},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.label);
    write_file(in.dir / "d.gz", damage.data);
    const std::vector<std::string> before = list_files(in.dir.path());
    const RunResult run = testing::run_selvane({"d.gz", "-p=y"}, in.dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "\nFile not read\n\nExecution terminated\n");
    EXPECT_NE(run.errors.find("selvane: d.gz: cannot read the file: "), std::string::npos);
    EXPECT_NE(run.errors.find(damage.reason), std::string::npos) << run.errors;
    EXPECT_EQ(list_files(in.dir.path()), before);
  }
}

TEST(InputStreams, OutNamesTheSelectedBlocksOfOneAlignment) {
  Inputs in;
  const std::string expected =
      shell("$S a.fas -p=n --out=- 2>/dev/null", in.dir).output;  // the blocks alone
  {
    // Kept where it is named, beside the other outputs in --outdir; -s=n cannot turn it off.
    const RunResult run =
        testing::run_selvane({"a.fas", "--out=y.fa", "-s=n", "-p=t", "--outdir=o"}, in.dir.path());
    EXPECT_EQ(read_file(in.dir / "y.fa"), expected);
    EXPECT_EQ(list_files(in.dir / "o"), std::vector<std::string>{"a.fas-sv.txt"});
    EXPECT_NE(read_file(in.dir / "o" / "a.fas-sv.txt").find("\nNew number of positions in y.fa: "),
              std::string::npos);
    EXPECT_NE(run.errors.find("\"-s=n\" refused: --out=y.fa writes the selected blocks"),
              std::string::npos)
        << run.errors;
  }
  {
    // The results file names standard output in words.
    ASSERT_EQ(shell("$S a.fas -p=t --out=- > /dev/null", in.dir).status, 1);
    EXPECT_NE(read_file(in.dir / "a.fas-sv.txt")
                  .find("\nNew number of positions in standard output: *** 44 *** (10% of"),
              std::string::npos);
    std::filesystem::remove(in.dir / "a.fas-sv.txt");
  }
  {
    // A paths file has one set of blocks per alignment: refused before anything is written.
    write_file(in.dir / "list", "a.fas\n");
    const std::vector<std::string> before = list_files(in.dir.path());
    const RunResult run = testing::run_selvane({"list", "--out=-"}, in.dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors.find("list: --out names the selected blocks of one alignment"),
              std::string::npos)
        << run.errors;
    EXPECT_EQ(list_files(in.dir.path()), before);
  }
  {
    const RunResult run = testing::run_selvane({"a.fas", "--out=a.fas", "-p=n"}, in.dir.path());
    EXPECT_NE(run.output.find("\nOutput file would overwrite an input file\n"), std::string::npos);
    EXPECT_EQ(read_file(in.dir / "a.fas"), in.text);
  }
  {
    // The blocks are the run's data: losing them fails it, as for a file.
    const RunResult run = shell("$S a.fas -p=n --out=- > /dev/full", in.dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("\nFile not written\n\nExecution terminated\n"), std::string::npos)
        << run.errors;
  }
}

// The menus read their answers from standard input: it cannot be their input too. A pipe can
// be, read once when it is opened: every run of the session works on what was read.
TEST(InputStreams, TheMenusRefuseStandardInputAndKeepWhatAPipeGave) {
  Inputs in;
  for (const char* command : {"$S -", "printf 'o\\n-\\nq\\n' | $S"}) {
    SCOPED_TRACE(command);
    const RunResult run = shell(command, in.dir);
    EXPECT_NE(run.output.find("\n* File not opened *\n"), std::string::npos) << run.output;
    EXPECT_NE(run.errors.find("the menus read their answers from standard input"),
              std::string::npos)
        << run.errors;
    EXPECT_FALSE(file_exists(in.dir / "stdin-sv.htm"));
  }
  const RunResult twice = shell("printf 'g\\nb\\n5\\ng\\nq\\n' | $S <(cat a.fas)", in.dir);
  const std::string summary = "\nSelvane alignment:  ";
  const std::size_t first = twice.output.find(summary);
  ASSERT_NE(first, std::string::npos) << twice.output;
  // The second run, with gaps allowed in half the sequences, selects more of the same alignment.
  const std::size_t second = twice.output.find(summary, first + 1);
  ASSERT_NE(second, std::string::npos) << twice.output;
  EXPECT_NE(twice.output.substr(first, 30), twice.output.substr(second, 30));
  EXPECT_TRUE(file_exists(in.dir / "stdin-sv.htm"));
}

}  // namespace
}  // namespace selvane
