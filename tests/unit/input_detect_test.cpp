// Input type detection: format and type of the first header, alignments and paths files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/fatal.h"
#include "core/run_state.h"
#include "core/writer.h"
#include "input/detect.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;

const char kNoFormat[] = "\nSequence not in NBRF/PIR or FASTA format\n";
const char kNoPirType[] =
    "\nSequence not in correct NBRF/PIR format: a D (for DNA or rRNA sequences) or a P (for "
    "protein sequences) is missing after the symbol > in the name line\n";

TEST(CheckFormat, FirstHeaderLine) {
  struct Case {
    const char* line;
    int fileformat;
    char seq_type;
    const char* error;  // nullptr when accepted
  };
  const Case cases[] = {
      {">P1;globin", kFormatPir, 'P', nullptr},
      {">DL;16S", kFormatPir, 'D', nullptr},
      {">DC;", kFormatPir, 'D', nullptr},
      {">PX;x", kFormatPir, 'P', nullptr},
      {">seq1", kFormatFasta, 'P', nullptr},
      {">", kFormatFasta, 'P', nullptr},
      {">P1", kFormatFasta, 'P', nullptr},
      {">P1:;", kFormatFasta, 'P', nullptr},
      {">p1;x", 0, 0, kNoPirType},
      {">ab;c", 0, 0, kNoPirType},
      {"seq1", 0, 0, kNoFormat},
      {"   ", 0, 0, kNoFormat},
      {"", 0, 0, kNoFormat},
  };
  for (const auto& c : cases) {
    RunState st;
    st.seq_type = 'C';
    try {
      checkformat(c.line, st);
      EXPECT_EQ(c.error, nullptr) << c.line;
      EXPECT_EQ(st.fileformat, c.fileformat) << c.line;
      EXPECT_EQ(st.seq_type, c.seq_type) << c.line;
    } catch (const FatalError& e) {
      ASSERT_NE(c.error, nullptr) << c.line;
      EXPECT_EQ(e.text(), c.error) << c.line;
    }
  }
}

// Runs the tests of this file inside a fresh directory, because the paths of a paths file are
// relative to the working directory.
class Detection : public ::testing::Test {
 protected:
  Detection() : previous_(fs::current_path()) { fs::current_path(dir_.path()); }
  ~Detection() override { fs::current_path(previous_); }

  // Runs detection on `filename` and returns what it printed (or the fatal text).
  std::string detect(const std::string& filename) {
    st_.filename = filename;
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    std::string printed;
    {
      Writer out = Writer::to_stream(stream);
      try {
        checkfiletype(st_, out);
      } catch (const FatalError& e) {
        printed = "fatal:" + e.text();
      }
      out.flush();
    }
    std::fclose(stream);
    printed.insert(0, std::string(text, size));
    std::free(text);
    return printed;
  }

  // Settings that only the detection of a paths file resets.
  void set_batch_switches() {
    st_.tog_sub = 1;
    st_.warn = 0;
    st_.tog_allfile = 1;
    st_.tog_allfile_init = 1;
    st_.tog_allungfile = 1;
  }
  void expect_batch_switches(int tog_sub, int warn, int concatenation) {
    EXPECT_EQ(st_.tog_sub, tog_sub);
    EXPECT_EQ(st_.warn, warn);
    EXPECT_EQ(st_.tog_allfile, concatenation);
    EXPECT_EQ(st_.tog_allfile_init, concatenation);
    EXPECT_EQ(st_.tog_allungfile, concatenation);
  }

  testing::TempDir dir_;
  fs::path previous_;
  RunState st_;
};

TEST_F(Detection, SingleAlignments) {
  struct Case {
    const char* what;
    std::string content;
    int fileformat;
    char seq_type;
    std::string printed;
  };
  const Case cases[] = {
      {"FASTA after blank lines", "\n\r\n\n>seq1\nACGT\n", kFormatFasta, 'P', ""},
      {"NBRF/PIR protein", ">P1;globin\nd\nAC*\n", kFormatPir, 'P', ""},
      {"NBRF/PIR DNA with CRLF", "\r\n>DL;16S\r\nd\r\nAC*\r\n", kFormatPir, 'D', ""},
      {"'>' alone", ">\nAC\n", kFormatFasta, 'P', ""},
      {"a line of spaces is not blank", "\n   \n>P1;x\n", 0, '-',
       std::string("fatal:") + kNoFormat},
      {"empty file", "", 0, '-', std::string("fatal:") + kNoFormat},
      {"blank lines only", "\n\r\n", 0, '-', std::string("fatal:") + kNoFormat},
      {"FASTA name with ';' fourth", ">ab;c\nAC\n", 0, '-', std::string("fatal:") + kNoPirType},
  };
  for (const auto& c : cases) {
    st_ = RunState{};
    set_batch_switches();
    st_.numal = 7;
    testing::write_file(dir_ / "aln", c.content);
    EXPECT_EQ(detect("aln"), c.printed) << c.what;
    EXPECT_EQ(st_.fileformat, c.fileformat) << c.what;
    EXPECT_EQ(st_.seq_type, c.seq_type) << c.what;
    if (c.printed.empty()) {
      EXPECT_EQ(st_.filename, "aln") << c.what;
      EXPECT_EQ(st_.fichero1, "aln") << c.what;
      EXPECT_EQ(st_.tog_sb, 0) << c.what;
      EXPECT_EQ(st_.numal, 1) << c.what;
      expect_batch_switches(1, 0, 1);
    }
  }
}

TEST_F(Detection, FileNotOpened) {
  st_.fichero1 = "before";
  st_.fileformat = kFormatPir;
  EXPECT_EQ(detect("missing.fas"), "\n* File not opened *\n");
  EXPECT_EQ(st_.filename, "");
  EXPECT_EQ(st_.fichero1, "before");
  EXPECT_EQ(st_.fileformat, kFormatPir);
}

TEST_F(Detection, PathsFiles) {
  const std::string long_dir = std::string(120, 'd') + "/" + std::string(120, 'e');
  testing::write_file(dir_ / "data/a.fas", "\n>a\nAC\n>b\nAC\n");
  testing::write_file(dir_ / "data/b.pir", ">P1;a\nd\nAC*\n");
  testing::write_file(dir_ / long_dir / "c.fas", ">a\nAC\n");
  testing::write_file(dir_ / "lists/mixed", ">DL;x\nd\nAC*\n");
  struct Case {
    const char* what;
    std::string content;
    std::string first;
    int numal;
    int fileformat;
    char seq_type;
  };
  const Case cases[] = {
      {"blank lines between and after", "data/a.fas\n\ndata/b.pir\n\n\ndata/a.fas\n\n\n",
       "data/a.fas", 3, kFormatFasta, 'P'},
      {"no final line end", "\ndata/a.fas\ndata/b.pir\n\ndata/a.fas", "data/a.fas", 3, kFormatFasta,
       'P'},
      {"CRLF line ends", "\r\ndata/b.pir\r\n\r\ndata/a.fas\r\n\r\n", "data/b.pir", 2, kFormatPir,
       'P'},
      {"first alignment decides the format", "data/b.pir\ndata/a.fas\n", "data/b.pir", 2,
       kFormatPir, 'P'},
      // One path however long it is, never split into pieces.
      {"path over 189 characters", long_dir + "/c.fas\r\n" + long_dir + "/c.fas\n",
       long_dir + "/c.fas", 2, kFormatFasta, 'P'},
      {"a path to an NBRF/PIR DNA file", "lists/mixed\n", "lists/mixed", 1, kFormatPir, 'D'},
  };
  for (const auto& c : cases) {
    st_ = RunState{};
    set_batch_switches();
    st_.seq_type = 'C';
    testing::write_file(dir_ / "lists/set one.txt", c.content);
    EXPECT_EQ(detect("lists/set one.txt"), "") << c.what;
    EXPECT_EQ(st_.filename, "lists/set one.txt") << c.what;
    EXPECT_EQ(st_.fichero1, c.first) << c.what;
    EXPECT_EQ(st_.tog_sb, 1) << c.what;
    EXPECT_EQ(st_.numal, c.numal) << c.what;
    EXPECT_EQ(st_.fileformat, c.fileformat) << c.what;
    EXPECT_EQ(st_.seq_type, c.seq_type) << c.what;
    EXPECT_EQ(st_.path_file, "lists/") << c.what;
    EXPECT_EQ(st_.name_file, "set one.txt") << c.what;
    EXPECT_EQ(st_.name_pathsfile, "set one.txt") << c.what;
    expect_batch_switches(0, 1, 0);
  }
}

TEST_F(Detection, PathsFileWhoseFirstAlignmentHasNoFormat) {
  testing::write_file(dir_ / "bad.txt", "  >P1;x\n");
  testing::write_file(dir_ / "paths", "bad.txt\n");
  EXPECT_EQ(detect("paths"), std::string("fatal:") + kNoFormat);
}

TEST_F(Detection, NextPathSkipsBlankLinesAndKeepsSpaces) {
  testing::write_file(dir_ / "paths", "\n a.fas \r\n\r\n\nb\rc\nd");
  auto paths = BlockReader::open("paths");
  ASSERT_TRUE(paths.has_value());
  std::vector<std::string> got;
  std::string path;
  while (next_path(*paths, path)) got.push_back(path);
  EXPECT_EQ(got, (std::vector<std::string>{" a.fas ", "b\rc", "d"}));
}

}  // namespace
}  // namespace selvane
