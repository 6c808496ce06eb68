// Output names, the residue grouping, the entry frame and the output formats and folder.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "core/fatal.h"
#include "core/output_file.h"
#include "core/path_split.h"
#include "core/run_state.h"
#include "input/formats.h"
#include "input/readers.h"
#include "output/alignment_file.h"
#include "output/alignment_formats.h"
#include "output/entry.h"
#include "output/naming.h"
#include "output/tsv.h"
#include "support/capture.h"
#include "support/harness.h"

namespace selvane {
namespace {

TEST(OutputNames, EveryFileOfOneAlignmentAndOfABatch) {
  struct Case {
    OutputFile kind;
    const char* expected;
  };
  const Case cases[] = {
      {OutputFile::kSelectedBlocks, "data/aln.fas-sv"},
      {OutputFile::kResultsHtml, "data/aln.fas-sv.htm"},
      {OutputFile::kResultsText, "data/aln.fas-sv.txt"},
      {OutputFile::kResultsShort, "data/aln.fas-sv.txts"},
      {OutputFile::kMask, "data/aln.fas-svMask"},
      {OutputFile::kPostScript, "data/aln.fas-svPS"},
      {OutputFile::kNonconserved, "data/aln.fas-svComp"},
      {OutputFile::kUngapped, "data/aln.fas--"},
      {OutputFile::kOverview, "data/aln.fas-sv.svg"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(output_name("data/aln.fas", "-sv", c.kind), c.expected);
  }
  EXPECT_EQ(output_name("aln", ".x", OutputFile::kUngapped), "aln--");
  EXPECT_EQ(batch_output_name("b/", "lists.txt", "-sv", BatchFile::kBlocks), "b/lists.txt-sv.seq");
  EXPECT_EQ(batch_output_name("b/", "lists.txt", "-sv", BatchFile::kInputs), "b/lists.txt.seq");
  EXPECT_EQ(batch_output_name("b/", "lists.txt", "-sv", BatchFile::kUngapped), "b/lists.txt--.seq");
  EXPECT_EQ(batch_output_name("", "p", "-sv", BatchFile::kBlocks), "p-sv.seq");
  EXPECT_EQ(batch_output_name("b/", "p", "-x", BatchFile::kBlocksOverview), "b/p-x.seq.svg");
}

// Inputs among the system's names of open files have no folder to write beside: their outputs
// are "stdin" in the working folder; --out names the selected blocks itself.
TEST(OutputNames, StandardInputAndPipesAreNamedStdin) {
  const std::pair<const char*, const char*> stems[] = {
      {"/dev/stdin", "stdin"},
      {"/dev/fd/63", "stdin"},
      {"/proc/self/fd/0", "stdin"},
      {"/proc/42/fd/11", "stdin"},
      {"/dev/shm/a.fas", "/dev/shm/a.fas"},
      {"/proc/a.fas", "/proc/a.fas"},
      {"fd/3", "fd/3"},
      {"-", "-"},
  };
  for (const auto& [path, stem] : stems) EXPECT_EQ(output_stem(path), stem) << path;
  OutputSwitches outputs;
  outputs.tog_viewfile = ResultsForm::kText;
  outputs.out = "x/y.fa";
  outputs.outdir = "o";
  const auto files = alignment_outputs("/dev/fd/63", outputs);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].second, "x/y.fa");
  EXPECT_EQ(files[1].second, "stdin-sv.txt");
  EXPECT_EQ(final_output_path(files[0].second, outputs), "x/y.fa");
  EXPECT_EQ(final_output_path(files[1].second, outputs), "o/stdin-sv.txt");
}

// Writes one sequence made of `stretches` (a range each) through a real file and returns the
// file's text.
std::string entry_text(InputFormat fileformat, char seq_type, const std::string& name,
                       const std::vector<std::string>& stretches) {
  testing::TempDir dir;
  const auto path = dir / "entry";
  std::vector<Rows> rows;
  const std::vector<std::string> names = {"", name};
  AlignmentContent content{1, names, {}};
  for (const std::string& s : stretches) {
    rows.emplace_back(1, static_cast<std::int32_t>(s.size()));
    std::memcpy(rows.back().row(1) + 1, s.data(), s.size());
  }
  for (const Rows& r : rows) content.ranges.push_back({&r, 1, r.width()});
  write_alignment(path.string(), {}, EntryFormat{fileformat, static_cast<SeqType>(seq_type)},
                  content);
  return testing::read_file(path);
}

// A text cell of a table for scripts stays one cell on one line, and its escapes can be undone.
TEST(TsvCells, TabsLineEndsAndBackslashesAreEscaped) {
  for (const auto& [text, cell] : std::vector<std::pair<std::string, std::string>>{
           {"genes/cox1.fas", "genes/cox1.fas"},
           {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
           {"dir\\t.fas", "dir\\\\t.fas"}}) {
    testing::Capture capture;
    write_text(capture.out(), text);
    EXPECT_EQ(capture.text(), cell);
  }
}

TEST(EntryFormat, GroupsByTenAndSixtyWithOneCounterOverAllStretches) {
  const std::string s25 = "ACGTACGTACGTACGTACGTACGTA";
  EXPECT_EQ(entry_text(InputFormat::kPir, 'D', "seq1", {s25}),
            ">DL;seq1\n \nACGTACGTAC GTACGTACGT ACGTA*\n\n");
  EXPECT_EQ(entry_text(InputFormat::kFasta, 'D', "seq1", {s25}),
            ">seq1\nACGTACGTAC GTACGTACGT ACGTA\n");
  // Two stretches of 7 and 8: no mark between them.
  EXPECT_EQ(entry_text(InputFormat::kFasta, 'P', "s", {"AAAAAAA", "CCCCCCCC"}),
            ">s\nAAAAAAACCC CCCCC\n");
  // Exactly 10: a blank before the terminator.
  EXPECT_EQ(entry_text(InputFormat::kPir, 'P', "s", {"MKVLAAGLLA"}), ">P1;s\n \nMKVLAAGLLA *\n\n");
  EXPECT_EQ(entry_text(InputFormat::kFasta, 'P', "s", {"MKVLAAGLLA"}), ">s\nMKVLAAGLLA \n");
  // Exactly 60 (in two stretches): the line ends, the terminator stands alone.
  const std::string s60(60, 'A');
  const std::string line60 = "AAAAAAAAAA AAAAAAAAAA AAAAAAAAAA AAAAAAAAAA AAAAAAAAAA AAAAAAAAAA\n";
  EXPECT_EQ(entry_text(InputFormat::kPir, 'C', "s", {s60.substr(0, 33), s60.substr(33)}),
            ">DL;s\n \n" + line60 + "*\n\n");
  EXPECT_EQ(entry_text(InputFormat::kFasta, 'P', "s", {s60}), ">s\n" + line60 + "\n");
  // Nothing at all.
  EXPECT_EQ(entry_text(InputFormat::kPir, 'P', "s", {}), ">P1;s\n \n*\n\n");
  EXPECT_EQ(entry_text(InputFormat::kFasta, 'P', "s", {}), ">s\n\n");
}

TEST(EntryFormat, SingleCharactersGroupLikeStretches) {
  testing::TempDir dir;
  const auto path = dir / "chars";
  const std::string text(125, 'x');
  Writer out = Writer::create(path.string());
  {
    ResidueGrouping grouping(out);
    for (const char& c : text) grouping.put(std::string_view(&c, 1));
  }
  out.close();
  const std::string expected_line =
      "xxxxxxxxxx xxxxxxxxxx xxxxxxxxxx xxxxxxxxxx xxxxxxxxxx xxxxxxxxxx\n";
  EXPECT_EQ(testing::read_file(path), expected_line + expected_line + "xxxxx");
}

// --out-format and --outdir: one alignment file in every format, written into another folder.
TEST(AlignmentFile, FormatsAndFolderOfTheOutputOptions) {
  testing::TempDir dir;
  Rows rows(2, 12);
  for (std::int32_t n = 1; n <= 2; ++n) std::memcpy(rows.row(n) + 1, "MKVLAAGLLAPQ", 12);
  const std::vector<std::string> names = {"", "human beta", "mouse"};
  AlignmentContent content = whole_rows(rows, names);
  content.ranges = {{&rows, 1, 3}, {&rows, 6, 12}};  // two stretches, 10 characters
  OutputSwitches outputs;
  outputs.outdir = (dir / "made/here").string();
  struct Case {
    EntryFormat format;
    std::string text;
  };
  const Case cases[] = {
      {{OutputFormat::kFasta, SeqType::kProtein},
       ">human beta\nMKVAGLLAPQ \n>mouse\nMKVAGLLAPQ \n"},
      {{OutputFormat::kPir, SeqType::kCodons},
       ">DL;human beta\n \nMKVAGLLAPQ *\n\n>DL;mouse\n \nMKVAGLLAPQ *\n\n"},
      // One line per sequence, ungrouped; the blank of a name would end it early.
      {{OutputFormat::kPhylip, SeqType::kProtein},
       "2 10\nhuman_beta MKVAGLLAPQ\nmouse MKVAGLLAPQ\n"},
      // One line per sequence after its name, quoted where it holds a blank, in a column.
      {{OutputFormat::kNexus, SeqType::kDna},
       "#NEXUS\n\nBEGIN DATA;\n  DIMENSIONS NTAX=2 NCHAR=10;\n"
       "  FORMAT DATATYPE=DNA MISSING=? GAP=-;\n  MATRIX\n"
       "'human beta'  MKVAGLLAPQ\nmouse         MKVAGLLAPQ\n  ;\nEND;\n"},
      {{OutputFormat::kClustal, SeqType::kProtein},
       "CLUSTAL multiple sequence alignment\n\n\n"
       "human_beta      MKVAGLLAPQ\nmouse           MKVAGLLAPQ\n\n"},
  };
  for (const Case& c : cases) {
    write_alignment("data/aln.fas-sv", outputs, c.format, content);
    EXPECT_EQ(testing::read_file(dir / "made/here/aln.fas-sv"), c.text);
  }
  // Without --out-format an input is written back in its own format when that has a writer.
  for (const AlignmentWriter& writer : alignment_writers()) {
    EXPECT_EQ(&alignment_writer(writer.format), &writer);
  }
  const auto written_as = [](OutputFormat requested, InputFormat input) {
    return EntryFormat(requested, input, SeqType::kDna).format;
  };
  EXPECT_EQ(written_as(OutputFormat::kSameAsInput, InputFormat::kPir), OutputFormat::kPir);
  EXPECT_EQ(written_as(OutputFormat::kSameAsInput, InputFormat::kFasta), OutputFormat::kFasta);
  EXPECT_EQ(written_as(OutputFormat::kSameAsInput, InputFormat::kNone), OutputFormat::kFasta);
  EXPECT_EQ(written_as(OutputFormat::kPhylip, InputFormat::kPir), OutputFormat::kPhylip);
  EXPECT_EQ(final_output_path("aln.fas--", outputs), outputs.outdir + "/aln.fas--");
  outputs.outdir += "/";
  EXPECT_EQ(final_output_path("a/b/list.txt.seq", outputs), outputs.outdir + "list.txt.seq");
  EXPECT_EQ(final_output_path("a/b/list.txt.seq", OutputSwitches{}), "a/b/list.txt.seq");
}

// Each format's name rule, checked before anything is written: what becomes of blanks, which
// names cannot be written, which two would be one taxon to the format's readers.
TEST(AlignmentFile, NameRulesOfTheFormats) {
  struct Case {
    OutputFormat format;
    std::vector<std::string> names;  // names[0] unused
    NameCheck expected;
  };
  const Case cases[] = {
      {OutputFormat::kPhylip, {"", "human beta", "mouse"}, {1, 0, 0, 0}},
      {OutputFormat::kPhylip, {"", "a", "x y", "b", "x_y"}, {1, 0, 2, 4}},
      {OutputFormat::kPhylip, {"", "a", ""}, {0, 2, 0, 0}},
      {OutputFormat::kPhylip, {"", "a\vb", "c"}, {0, 1, 0, 0}},
      {OutputFormat::kPhylip, {"", "a", "b\fc"}, {0, 2, 0, 0}},
      {OutputFormat::kPhylip, {"", "a", "\x01"}, {0, 2, 0, 0}},
      {OutputFormat::kPhylip, {"", "a", "b\x7f", "\xc2\x85"}, {0, 2, 0, 0}},
      // A tab is a blank; a name in another script is printable.
      {OutputFormat::kPhylip, {"", "a\tb", "\xc3\xa9t\xc3\xa9"}, {1, 0, 0, 0}},
      {OutputFormat::kClustal, {"", "x y", "x_y"}, {1, 0, 1, 2}},
      // NEXUS quotes blanks instead, and compares names without case, '_' unquoted as a blank.
      {OutputFormat::kNexus, {"", "x y", "O'Brien", "o'brien"}, {0, 0, 2, 3}},
      {OutputFormat::kNexus, {"", "x y", "X_Y"}, {0, 0, 1, 2}},
      {OutputFormat::kNexus, {"", "x_y-z", "x y-z", ""}, {0, 3, 0, 0}},
      // FASTA and NBRF/PIR write every name as it is.
      {OutputFormat::kFasta, {"", "", "a\x01", "a\x01"}, {}},
      {OutputFormat::kPir, {"", "", ""}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names.back());
    const NameCheck found = check_names(alignment_writer(c.format).names, c.names);
    EXPECT_EQ(found.renamed, c.expected.renamed);
    EXPECT_EQ(found.unwritable, c.expected.unwritable);
    EXPECT_EQ(found.clash_first, c.expected.clash_first);
    EXPECT_EQ(found.clash_second, c.expected.clash_second);
  }
  EXPECT_EQ(nexus_name("O'Brien"), "'O''Brien'");
  EXPECT_EQ(nexus_name("Homo_sapiens.1"), "Homo_sapiens.1");
  EXPECT_EQ(nexus_name("a b"), "'a b'");
  EXPECT_EQ(nexus_name("sp|P1|X-1"), "'sp|P1|X-1'");
}

// Every format selvane writes, it reads: an alignment written by each row of the writers' table
// and read back by the input format of the same name has the same names (as the format keeps
// them: blanks '_' where a blank ends a name) and the same rows. The contents: an alignment
// wider than a Clustal block, one larger than a reader's block, and a concatenation joined by
// taxon whose sequences are gaps where their alignment lacks them. (A file of no column, as
// when nothing is selected, is no alignment to read.)
TEST(RoundTrip, EveryFormatWrittenReadsBackAsTheSameAlignment) {
  std::mt19937 random(7);
  const std::string letters = "ACDEFGHIKLMNPQRSTVWYacgtX-?";  // '.' reads as '-'
  const auto rows_of = [&](std::int32_t numseq, std::int32_t width) {
    Rows rows(numseq, width);
    for (std::int32_t n = 1; n <= numseq; ++n) {
      for (std::int32_t p = 1; p <= width; ++p) rows.row(n)[p] = letters[random() % letters.size()];
    }
    return rows;
  };
  const std::vector<std::string> names = {"",    "human beta", "O'Brien",           "sp|P1|X-1",
                                          "a_b", "Ab[1];x",    "\xc3\xa9t\xc3\xa9", "mouse"};
  std::vector<std::string> many = {""};
  for (int n = 1; n <= 300; ++n) many.push_back("taxon " + std::to_string(n));
  const Rows wide = rows_of(7, 137);
  const Rows large = rows_of(300, 2500);
  const Rows gene1 = rows_of(3, 40);
  const Rows gene2 = rows_of(2, 75);
  RowIndex index;  // sequence 1 in both genes, 2 only in the first, 3 only in the second
  index.entries = {{0, 1}, {1, 2}, {0, 3}, {1, 1}};
  index.start = {0, 2, 3, 4};
  AlignmentContent joined{3, std::span(names).first(4), {}};
  joined.ranges = {{&gene1, 1, 40}, {&gene1, 5, 4}, {&gene2, 3, 75}};
  joined.rows_of = &index;
  const AlignmentContent contents[] = {whole_rows(wide, names), whole_rows(large, many), joined};

  testing::TempDir dir;
  const std::string path = (dir / "aln").string();
  for (const AlignmentWriter& writer : alignment_writers()) {
    SCOPED_TRACE(writer.name);
    const InputFormatRow* reader = find_input_format(writer.name);
    ASSERT_NE(reader, nullptr);
    for (const AlignmentContent& content : contents) {
      write_alignment(path, {}, EntryFormat{writer.format, SeqType::kProtein}, content);
      Alignment read;
      try {
        read = read_alignment(path, reader->format, true);
      } catch (const FatalError& e) {
        FAIL() << e.text() << e.detail();
      }
      ASSERT_EQ(read.numseq, content.numseq);
      ASSERT_EQ(read.nupo, content.width());
      for (std::int32_t n = 1; n <= content.numseq; ++n) {
        const std::string& name = content.names[static_cast<std::size_t>(n)];
        EXPECT_EQ(read.name[static_cast<std::size_t>(n)],
                  writer.names.blanks_end_names ? blanks_as_underscores(name) : name);
        std::string row;
        for_each_stretch(content, n, [&](std::string_view chars) { row.append(chars); });
        EXPECT_EQ(std::string_view(read.let.row(n) + 1, static_cast<std::size_t>(read.nupo)), row)
            << name;
      }
    }
  }
}

TEST(SequenceCountDefaults, FollowTheNumberOfSequences) {
  struct Case {
    int numseq, b1, b2;
  };
  const Case cases[] = {{2, 2, 2},  {3, 2, 2},  {4, 3, 3},    {5, 3, 4},    {6, 4, 5},
                        {10, 6, 8}, {11, 6, 9}, {20, 11, 17}, {100, 51, 85}};
  for (const auto& c : cases) {
    RunState st;
    st.params.negblen = 3;
    apply_sequence_count_defaults(st.params, c.numseq);
    EXPECT_EQ(st.params.initnegval, c.b1) << c.numseq;
    EXPECT_EQ(st.params.negval, c.b1) << c.numseq;
    EXPECT_EQ(st.params.flankval, c.b2) << c.numseq;
    EXPECT_EQ(st.params.negblen, 3);
  }
}

TEST(StartupDefaults, MatchAFreshProgram) {
  RunState st;
  st.outputs.exten = "x";
  st.outputs.tog_maskfile = 1;
  apply_startup_defaults(st);
  EXPECT_EQ(st.params.negval, 0);
  EXPECT_EQ(st.params.flankval, 0);
  EXPECT_EQ(st.params.negblen, 8);
  EXPECT_EQ(st.params.posblen, 10);
  EXPECT_EQ(st.params.posblen2, 10);
  EXPECT_EQ(st.params.tog_gaps, GapPolicy::kNone);
  EXPECT_EQ(st.params.tog_sim, 1);
  EXPECT_EQ(st.outputs.exten, "-sv");
  EXPECT_EQ(st.outputs.breakcount, 60);
  EXPECT_EQ(st.outputs.tog_seqfile, 1);
  EXPECT_EQ(st.outputs.tog_viewfile, ResultsForm::kHtml);
  EXPECT_EQ(st.outputs.tog_maskfile + st.outputs.tog_psfile + st.outputs.tog_ncbfile +
                st.outputs.tog_ungappedfile + st.outputs.tog_allfile + st.outputs.tog_allfile_init +
                st.outputs.tog_allungfile,
            0);
  EXPECT_EQ(static_cast<char>(st.params.seq_type), '-');
  EXPECT_EQ(st.session.menu, ' ');
  EXPECT_EQ(st.input.numal, 1);
  EXPECT_EQ(st.session.warn, 1);
  EXPECT_TRUE(st.input.filename.empty());
}

}  // namespace
}  // namespace selvane

namespace selvane {
namespace {

TEST(PathSplit, CutsAfterTheLastSlash) {
  struct Case {
    const char* path;
    const char* dir;
    const char* name;
  };
  const Case cases[] = {{"run/set1/aln.pir", "run/set1/", "aln.pir"},
                        {"aln.pir", "", "aln.pir"},
                        {"run/", "run/", ""},
                        {"", "", ""},
                        {"/abs/x", "/abs/", "x"}};
  for (const auto& c : cases) {
    const PathParts parts = getpath(c.path);
    EXPECT_EQ(parts.path_file, c.dir) << c.path;
    EXPECT_EQ(parts.name_file, c.name) << c.path;
  }
}

}  // namespace
}  // namespace selvane
