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
#include "driver/output_plan.h"
#include "driver/run.h"
#include "input/detect.h"
#include "input/readers.h"
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
    InputFormat fileformat;
    char seq_type;
    const char* error;  // nullptr when accepted
  };
  const Case cases[] = {
      {">P1;globin", InputFormat::kPir, 'P', nullptr}, {">DL;16S", InputFormat::kPir, 'D', nullptr},
      {">DC;", InputFormat::kPir, 'D', nullptr},       {">PX;x", InputFormat::kPir, 'P', nullptr},
      {">seq1", InputFormat::kFasta, 'P', nullptr},    {">", InputFormat::kFasta, 'P', nullptr},
      {">P1", InputFormat::kFasta, 'P', nullptr},      {">P1:;", InputFormat::kFasta, 'P', nullptr},
      {">p1;x", InputFormat::kNone, 0, kNoPirType},    {">ab;c", InputFormat::kNone, 0, kNoPirType},
      {"seq1", InputFormat::kNone, 0, kNoFormat},      {"   ", InputFormat::kNone, 0, kNoFormat},
      {"", InputFormat::kNone, 0, kNoFormat},
  };
  for (const auto& c : cases) {
    try {
      const DetectedFormat found = checkformat(c.line);
      EXPECT_EQ(c.error, nullptr) << c.line;
      EXPECT_EQ(found.format, c.fileformat) << c.line;
      EXPECT_EQ(static_cast<char>(found.type), c.seq_type) << c.line;
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
    st_.input.filename = filename;
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    std::string printed;
    {
      Writer out = Writer::to_stream(stream);
      try {
        apply_detection(st_, checkfiletype(filename), out);
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
    st_.input.tog_sub = 1;
    st_.session.warn = 0;
    st_.outputs.tog_allfile = 1;
    st_.outputs.tog_allfile_init = 1;
    st_.outputs.tog_allungfile = 1;
  }
  void expect_batch_switches(int tog_sub, int warn, int concatenation) {
    EXPECT_EQ(st_.input.tog_sub, tog_sub);
    EXPECT_EQ(st_.session.warn, warn);
    EXPECT_EQ(st_.outputs.tog_allfile, concatenation);
    EXPECT_EQ(st_.outputs.tog_allfile_init, concatenation);
    EXPECT_EQ(st_.outputs.tog_allungfile, concatenation);
  }

  testing::TempDir dir_;
  fs::path previous_;
  RunState st_;
};

TEST_F(Detection, SingleAlignments) {
  struct Case {
    const char* what;
    std::string content;
    InputFormat fileformat;
    char seq_type;
    std::string printed;
  };
  const Case cases[] = {
      {"FASTA after blank lines", "\n\r\n\n>seq1\nACGT\n", InputFormat::kFasta, 'P', ""},
      {"NBRF/PIR protein", ">P1;globin\nd\nAC*\n", InputFormat::kPir, 'P', ""},
      {"NBRF/PIR DNA with CRLF", "\r\n>DL;16S\r\nd\r\nAC*\r\n", InputFormat::kPir, 'D', ""},
      {"'>' alone", ">\nAC\n", InputFormat::kFasta, 'P', ""},
      {"a line of spaces is not blank", "\n   \n>P1;x\n", InputFormat::kNone, '-',
       std::string("fatal:") + kNoFormat},
      {"empty file", "", InputFormat::kNone, '-', std::string("fatal:") + kNoFormat},
      {"blank lines only", "\n\r\n", InputFormat::kNone, '-', std::string("fatal:") + kNoFormat},
      {"FASTA name with ';' fourth", ">ab;c\nAC\n", InputFormat::kNone, '-',
       std::string("fatal:") + kNoPirType},
  };
  for (const auto& c : cases) {
    st_ = RunState{};
    set_batch_switches();
    st_.input.numal = 7;
    testing::write_file(dir_ / "aln", c.content);
    EXPECT_EQ(detect("aln"), c.printed) << c.what;
    EXPECT_EQ(st_.input.fileformat, c.fileformat) << c.what;
    EXPECT_EQ(static_cast<char>(st_.params.seq_type), c.seq_type) << c.what;
    if (c.printed.empty()) {
      EXPECT_EQ(st_.input.filename, "aln") << c.what;
      EXPECT_EQ(st_.input.first_path, "aln") << c.what;
      EXPECT_EQ(st_.input.tog_sb, 0) << c.what;
      EXPECT_EQ(st_.input.numal, 1) << c.what;
      expect_batch_switches(1, 0, 1);
    }
  }
}

TEST_F(Detection, FileNotOpened) {
  st_.input.first_path = "before";
  st_.input.fileformat = InputFormat::kPir;
  EXPECT_EQ(detect("missing.fas"), "\n* File not opened *\n");
  EXPECT_EQ(st_.input.filename, "");
  EXPECT_EQ(st_.input.first_path, "before");
  EXPECT_EQ(st_.input.fileformat, InputFormat::kPir);
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
    InputFormat fileformat;
    char seq_type;
  };
  const Case cases[] = {
      {"blank lines between and after", "data/a.fas\n\ndata/b.pir\n\n\ndata/a.fas\n\n\n",
       "data/a.fas", 3, InputFormat::kFasta, 'P'},
      {"no final line end", "\ndata/a.fas\ndata/b.pir\n\ndata/a.fas", "data/a.fas", 3,
       InputFormat::kFasta, 'P'},
      {"CRLF line ends", "\r\ndata/b.pir\r\n\r\ndata/a.fas\r\n\r\n", "data/b.pir", 2,
       InputFormat::kPir, 'P'},
      {"first alignment decides the format", "data/b.pir\ndata/a.fas\n", "data/b.pir", 2,
       InputFormat::kPir, 'P'},
      // One path however long it is, never split into pieces.
      {"path over 189 characters", long_dir + "/c.fas\r\n" + long_dir + "/c.fas\n",
       long_dir + "/c.fas", 2, InputFormat::kFasta, 'P'},
      {"a path to an NBRF/PIR DNA file", "lists/mixed\n", "lists/mixed", 1, InputFormat::kPir, 'D'},
  };
  for (const auto& c : cases) {
    st_ = RunState{};
    set_batch_switches();
    st_.params.seq_type = SeqType::kCodons;
    testing::write_file(dir_ / "lists/set one.txt", c.content);
    EXPECT_EQ(detect("lists/set one.txt"), "") << c.what;
    EXPECT_EQ(st_.input.filename, "lists/set one.txt") << c.what;
    EXPECT_EQ(st_.input.first_path, c.first) << c.what;
    EXPECT_EQ(st_.input.tog_sb, 1) << c.what;
    EXPECT_EQ(st_.input.numal, c.numal) << c.what;
    EXPECT_EQ(st_.input.fileformat, c.fileformat) << c.what;
    EXPECT_EQ(static_cast<char>(st_.params.seq_type), c.seq_type) << c.what;
    // The concatenations are named after the paths file, without its folder.
    EXPECT_EQ(plan_run(make_request(st_), {c.first}).name_pathsfile, "set one.txt") << c.what;
    expect_batch_switches(0, 1, 0);
  }
}

TEST_F(Detection, PathsFileWhoseFirstAlignmentHasNoFormat) {
  testing::write_file(dir_ / "bad.txt", "  >P1;x\n");
  testing::write_file(dir_ / "paths", "bad.txt\n");
  EXPECT_EQ(detect("paths"), std::string("fatal:") + kNoFormat);
}

// A first line that no format claims and that names no file that opens: the first entry of a
// paths file (named as missing, on its line) when the line names something that exists, ends
// like an alignment's file, names a file in a folder that exists, or a later line names a file;
// otherwise an alignment that begins badly, as always.
TEST_F(Detection, PathsFileWhoseFirstEntryCannotBeOpenedIsToldFromABadAlignment) {
  testing::write_file(dir_ / "genes/a.fas", ">a\nAC\n>b\nAC\n");
  const std::string missing = "fatal:\nFile not opened\n";
  const std::string no_format = std::string("fatal:") + kNoFormat;
  const struct {
    std::string content;
    std::string printed;
  } cases[] = {
      {"genes/x\ngenes/a.fas\n", missing},  // its folder exists
      {"x.fas\n", missing},                 // an alignment's ending
      {"\n\nX.Phy.GZ\n", missing},
      {"x1\n\nx2\ngenes/a.fas\n", missing},  // a later line names a file
      {"genes\n", missing},                  // a folder
      {"CLUSTAL W (1.83) multiple sequence alignment\n\nseq1  ACGT\n", no_format},
      {"  5  42\nseq1 ACGTACGT\n", no_format},
      {"#NEXUS\nbegin data;\n", no_format},
      {"MKVLAAGLLAPQ/MKV\n>b\nMKVLAAGLLAPQ\n", no_format},
      {"x1\nx2\n", no_format},
      // A comment or title line that mentions a file, above an alignment.
      {"# aligned from genes/cox1.fas\n>a\nAC\n", no_format},
      {"; cox1.fasta\n>a\nAC\n", no_format},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    testing::write_file(dir_ / "input", c.content);
    EXPECT_EQ(detect("input"), c.printed);
  }
  // Named as any listed file that cannot be opened: the system's reason and the line.
  testing::write_file(dir_ / "input", "\n\nx.fas\n");
  try {
    checkfiletype("input");
    ADD_FAILURE();
  } catch (const FatalError& e) {
    EXPECT_EQ(e.detail(),
              "cannot open input \"x.fas\": No such file or directory (listed on line 3 of input)");
  }
}

// The alignment detection looked at is loaded from the reader it opened, never opened again:
// it loads even once its file is gone.
TEST_F(Detection, HandsOverTheAlignmentItOpened) {
  testing::write_file(dir_ / "list", "a.fas\nb.fas\n");
  for (const char* input : {"a.fas", "list"}) {
    testing::write_file(dir_ / "a.fas", ">x\nAC\n>y\nGT\n>z\nCC\n");
    selvane::Detection found = checkfiletype(input);
    ASSERT_TRUE(found.first_alignment.has_value()) << input;
    fs::remove(dir_ / "a.fas");
    const Alignment al = load(std::move(*found.first_alignment), found.format.format);
    EXPECT_EQ(al.numseq, 3) << input;
  }
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
