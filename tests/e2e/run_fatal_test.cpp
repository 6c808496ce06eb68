// Inputs that stop the program: every message is followed by "\nExecution terminated\n", the
// exit status is 1, and whatever was printed and written before the stop stays. Standard error
// says in one line which file, and what in it, made the program stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/expected.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::list_files;
using testing::read_file;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

const std::string kEnd = "\nExecution terminated\n";

std::string repeat(char c, std::size_t times) {
  return std::string(times, c);
}

struct FatalRun {
  std::string what;
  std::map<std::string, std::string> inputs;  // files made before the run
  std::vector<std::string> dirs;              // directories made before the run
  std::vector<std::string> args;
  std::string output;
  std::map<std::string, std::string> written;  // files the run writes before it stops
  // What standard error must say about it: each text is part of one "selvane: " line. Empty:
  // not checked here.
  std::vector<std::string> errors;
};

TEST(FatalRun, StopsWithItsMessageAfterWhatWentBefore) {
  const std::string protein =
      read_file(testing::case_dir("protein_gap_column_splits_block") / "input" / "aln.fas");
  const std::string report_and_run =
      "\n4 sequences and 22 positions in the first alignment file:\naln.fas\n\n"
      "aln.fas\n"
      "Original alignment: 22 positions\n"
      "Selvane alignment:  20 positions (90 %) in 2 selected block(s)\n\n";
  const std::string blocks =
      ">human\nMKTAYIAKQR ISFVKSHFSR \n"
      ">mouse\nMKTAYLAKQR ISFVKSHFSR \n"
      ">chicken\nMkTAYIAKQR ISFVKSHFSR \n"
      ">frog\nMKTAYIAKQR ISFVKSHFSR \n";
  const std::string not_an_alignment = "\nSequence not in NBRF/PIR or FASTA format\n";
  const std::string no_type =
      "\nSequence not in correct NBRF/PIR format: a D (for DNA or rRNA sequences) or a P (for "
      "protein sequences) is missing after the symbol > in the name line\n";
  const std::string too_long = "\nSequence name too long\n";
  const std::string unequal = "\nSequences with different number of positions\n";
  const std::string too_few_sequences =
      "\nFile not in NBRF/PIR format or too few sequences in the alignment: ";
  const std::string too_few_positions =
      "\nToo few positions in the alignment (at least two positions are necessary): ";
  // "in", two sequences of four positions, stopped once its blocks are chosen, or when a file
  // is written.
  const std::string report_in =
      "\n2 sequences and 4 positions in the first alignment file:\nin\n\nin\n"
      "Original alignment: 4 positions\n"
      "Selvane alignment:  0 positions (0 %) in 0 selected block(s)\n\n";
  const std::string no_block_in = report_in + kEnd;
  const std::string not_written_in = report_in + "\nFile not written\n" + kEnd;

  const std::vector<FatalRun> runs = {
      // No input could be opened: the options are still parsed, against sequence counts of 0,
      // and the run finds no alignment.
      {"input that cannot be opened, with options",
       {},
       {},
       {"missing.fas", "-b1=2", "-b2=1", "-p=n"},
       "\n* File not opened *\n"
       "\nWARNING: Parameter -b1 not properly entered.\n"
       "The minimum number of sequences for a conserved position must be lower than or equal to "
       "the minimum number of sequences for a flank position\n"
       "\nWARNING: Parameter -b2 not properly entered.\n"
       "The minimum number of sequences for a flank position must be lower than or equal to 0 "
       "(the number of sequences)\n" +
           too_few_sequences + "0\n" + kEnd,
       {},
       {"cannot open input \"missing.fas\": No such file or directory", "no alignment was read"}},
      // Detection stops before any option is looked at: -b1=99 gives no warning.
      {"first line not a header",
       {{"in", "CLUSTAL W (1.83)\n\nseq1 ACGT\n"}},
       {},
       {"in", "-b1=99"},
       not_an_alignment + kEnd,
       {},
       {"in: its first line \"CLUSTAL W (1.83)\" is no FASTA or NBRF/PIR header"}},
      // The options read before the input is opened were, and are judged all the same.
      {"first line not a header, options of the input refused",
       {{"in", "CLUSTAL W (1.83)\n\nseq1 ACGT\n"}},
       {},
       {"in", "--in-format=bogus", "--long-names=x"},
       not_an_alignment + kEnd,
       {},
       {"\"--in-format=bogus\" refused: the format is auto, ",
        "ignoring \"--long-names=x\": --long-names takes no value"}},
      {"empty file",
       {{"in", ""}},
       {},
       {"in", "-p=n"},
       not_an_alignment + kEnd,
       {},
       {"in: the file is empty or holds only blank lines"}},
      {"blank lines, then a line of blanks",
       {{"in", "\n\n   \n>a\nAC\n>b\nAC\n"}},
       {},
       {"in", "-p=n"},
       not_an_alignment + kEnd,
       {},
       {"in: its first line \"   \" is no FASTA"}},
      {"NBRF/PIR type letter in lower case",
       {{"in", ">p1;globin\n\nMKV*\n>p1;myo\n\nMKV*\n"}},
       {},
       {"in", "-p=n"},
       no_type + kEnd,
       {},
       {"in: its first header \">p1;globin\" has ';' as its fourth character"}},
      {"FASTA header with ';' fourth",
       {{"in", ">ab;c\nMKV\n>de\nMKV\n"}},
       {},
       {"in", "-p=n"},
       no_type + kEnd,
       {},
       {"in: its first header \">ab;c\" has ';' as its fourth character, so it is read as "
        "NBRF/PIR"}},
      // 75 characters with the line end, the first FASTA header counting its '>'.
      {"first FASTA header too long",
       {{"in", ">" + repeat('a', 73) + "\nMKV\n>b\nMKV\n"}},
       {},
       {"in", "-p=n"},
       too_long + kEnd,
       {},
       {"in: the name of sequence 1 (\"" + repeat('a', 40) +
        "...\") is 73 characters long; at most 72 fit here (--long-names"}},
      // A later header lost its '>' to the end of the sequence before it.
      {"later FASTA header too long",
       {{"in", ">a\nMKV\n>" + repeat('b', 74) + "\nMKV\n"}},
       {},
       {"in", "-p=n"},
       too_long + kEnd,
       {},
       {"in: the name of sequence 2 (\"" + repeat('b', 40) +
        "...\") is 74 characters long; at most 73 fit here"}},
      {"NBRF/PIR header too long",
       {{"in", ">P1;" + repeat('a', 71) + "\n\nMKV*\n>P1;b\n\nMKV*\n"}},
       {},
       {"in", "-p=n"},
       too_long + kEnd,
       {},
       {"in: the name of sequence 1 (\"" + repeat('a', 40) +
        "...\") is 71 characters long; at most 69 fit here"}},
      {"NBRF/PIR text right after a '*'",
       {{"in", ">P1;a\n\nMKV*note\n>P1;b\n\nMKV*\n"}},
       {},
       {"in", "-p=n"},
       "\nSequence not in NBRF/PIR format\n" + kEnd,
       {},
       {"in: the line \"note\" after entry 1 does not begin with '>'"}},
      {"NBRF/PIR file ends before the '*'",
       {{"in", ">P1;a\n\nMKV*\n>P1;b\n\nMKV\n"}},
       {},
       {"in", "-p=n"},
       "\nFile not in NBRF/PIR format\n" + kEnd,
       {},
       {"in: the file ends inside sequence 2, before its '*'"}},
      {"FASTA sequences of unequal length",
       {{"in", ">a\nMKVL\n>b\nMKV\n"}},
       {},
       {"in", "-p=n"},
       unequal + kEnd,
       {},
       {"in: sequence 2 (\"b\") has 3 positions, but sequence 1 (\"a\") has 4"}},
      {"NBRF/PIR sequences of unequal length",
       {{"in", ">P1;a\n\nMKV*\n>P1;b\n\nMK V L*\n"}},
       {},
       {"in", "-p=n"},
       unequal + kEnd,
       {},
       {"in: sequence 2 (\"b\") has 4 positions, but sequence 1 (\"a\") has 3"}},
      {"one FASTA sequence",
       {{"in", ">a\nMKVL\n"}},
       {},
       {"in", "-p=n"},
       too_few_sequences + "1\n" + kEnd,
       {},
       {"in: 1 sequence read; an alignment needs at least 2"}},
      {"one NBRF/PIR sequence",
       {{"in", ">P1;a\n\nMKVL*\n"}},
       {},
       {"in", "-p=n"},
       too_few_sequences + "1\n" + kEnd,
       {},
       {"in: 1 sequence read"}},
      {"one position left once the all-gap columns go",
       {{"in", ">a\n-M.-\n>b\n.K--\n"}},
       {},
       {"in", "-p=n"},
       too_few_positions + "1\n" + kEnd,
       {},
       {"in: 1 position is left once the columns that are gaps in every sequence are removed"}},
      {"gaps only",
       {{"in", ">a\n---\n>b\n-.-\n"}},
       {},
       {"in", "-p=n"},
       too_few_positions + "0\n" + kEnd,
       {},
       {"in: 0 positions are left"}},
      // The reader's own "File not opened" needs a file that detection did not open: the
      // second alignment of a paths file. The first alignment's files stay.
      {"second alignment of a paths file missing",
       {{"aln.fas", protein}, {"list", "aln.fas\n\nmissing.fas\n"}},
       {},
       {"list", "-p=n"},
       report_and_run + "\nFile not opened\n" + kEnd,
       {{"aln.fas-sv", blocks}},
       {"cannot open input \"missing.fas\": No such file or directory (listed on line 3 of list)"}},
      // A writer that cannot create its file stops the run; the files before it stay, the
      // writers after it do not run.
      {"results file blocked by a directory",
       {{"aln.fas", protein}},
       {"aln.fas-sv.htm"},
       {"aln.fas", "-k=y"},
       report_and_run + "\nFile not opened\n" + kEnd,
       {{"aln.fas-sv", blocks}},
       {"aln.fas-sv.htm: cannot create the output file: Is a directory"}},
      // Lines ended by a carriage return alone make one long line, whatever fails then.
      {"carriage returns alone as line ends",
       {{"in", ">a\rMKVL\r>b\rMKVL\r"}},
       {},
       {"in", "-p=n"},
       too_few_sequences + "1\n" + kEnd,
       {},
       {"in: its lines end in a carriage return alone, so it reads as one line"}},
      {"batch alignments with different numbers of sequences",
       {{"aln.fas", protein}, {"two.fas", ">a\nMKVL\n>b\nMKVL\n"}, {"list", "aln.fas\ntwo.fas\n"}},
       {},
       {"list", "-p=n", "-b1=3"},
       report_and_run + "\nAlignments with different number of sequences\n" + kEnd,
       {{"aln.fas-sv", blocks}},
       {"two.fas has 2 sequences, but the first alignment, aln.fas, has 4; with b1 or b2 given, "
        "or a concatenation, all must have as many (listed on line 2 of list)"}},
      // PHYLIP names end at a blank, so blanks become '_': then these two names are one.
      {"names the same once written in PHYLIP",
       {{"in", ">a b\nMKVL\n>a_b\nMKVL\n"}},
       {},
       {"in", "--out-format=phylip", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 1 (\"a b\") and sequence 2 (\"a_b\") have the same PHYLIP name \"a_b\""}},
      // A PHYLIP input is written back in PHYLIP, under the same rule.
      {"names the same in a PHYLIP input, written back in PHYLIP",
       {{"in", "2 4\na MKVL\na MKVL\n"}},
       {},
       {"in", "--in-format=phylip", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 1 (\"a\") and sequence 2 (\"a\") have the same PHYLIP name \"a\""}},
      // PHYLIP, NEXUS and Clustal names must be non-empty and printable: refused before any
      // file is written, naming the sequence.
      {"a nameless sequence in PHYLIP",
       {{"in", ">\nMKVL\n>b\nMKVL\n"}},
       {},
       {"in", "--out-format=phylip", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 1 has no name; PHYLIP names must be non-empty and printable"}},
      {"a vertical tab in a PHYLIP name",
       {{"in", ">b\nMKVL\n>a\vb\nMKVL\n"}},
       {},
       {"in", "--out-format=phylip", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 2 (\"a\\x0bb\") has a control character in its name; PHYLIP names must be "
        "non-empty and printable"}},
      {"a form feed in a PHYLIP name",
       {{"in", ">b\nMKVL\n>a\fb\nMKVL\n"}},
       {},
       {"in", "--out-format=phylip", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 2 (\"a\\x0cb\") has a control character in its name; PHYLIP names must be "
        "non-empty and printable"}},
      {"a control character in a PHYLIP name",
       {{"in", ">b\nMKVL\n>\x01\nMKVL\n"}},
       {},
       {"in", "--out-format=phylip", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 2 (\"\\x01\") has a control character in its name; PHYLIP names must be "
        "non-empty and printable"}},
      {"a control character in a Clustal name",
       {{"in", ">b\nMKVL\n>a\x1b[2J\nMKVL\n"}},
       {},
       {"in", "--out-format=clustal", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 2 (\"a\\x1b[2J\") has a control character in its name; Clustal names must be "
        "non-empty and printable"}},
      {"a control character in a NEXUS name",
       {{"in", ">b\nMKVL\n>a\rb\nMKVL\n"}},
       {},
       {"in", "--out-format=nexus", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 2 (\"a\\rb\") has a control character in its name; NEXUS names must be "
        "non-empty and printable"}},
      // A stop would end an NBRF/PIR entry early: the file is not written.
      {"a '*' in a sequence written as NBRF/PIR",
       {{"in", ">a\nMK*L\n>b\nMKVL\n"}},
       {},
       {"in", "--out-format=pir", "-p=n", "-s=n", "-n=y"},
       not_written_in,
       {},
       {"in-svComp: sequence 1 (\"a\") holds a '*' at position 3, which ends an NBRF/PIR entry"}},
      {"a '[' in a sequence written as NEXUS",
       {{"in", ">a\nMKVL\n>b\nM[VL\n"}},
       {},
       {"in", "--out-format=nexus", "-p=n", "-s=n", "-n=y"},
       not_written_in,
       {},
       {"in-svComp: sequence 2 (\"b\") holds a '[' at position 2, which has a meaning of its own "
        "in NEXUS"}},
      {"names the same in NEXUS, which ignores case",
       {{"in", ">Ab\nMKVL\n>aB\nMKVL\n"}},
       {},
       {"in", "--out-format=nexus", "-p=n"},
       no_block_in,
       {},
       {"in: sequence 1 (\"Ab\") and sequence 2 (\"aB\") have the same NEXUS name \"ab\""}},
      {"output folder that cannot be made",
       {{"aln.fas", protein}, {"out", "a file"}},
       {},
       {"aln.fas", "--outdir=out/sub"},
       report_and_run + "\nFile not opened\n" + kEnd,
       {},
       {"cannot create the output folder \"out/sub\" (--outdir): Not a directory"}},
  };

  for (const FatalRun& run : runs) {
    SCOPED_TRACE(run.what);
    TempDir dir;
    for (const auto& [name, content] : run.inputs) write_file(dir / name, content);
    for (const std::string& name : run.dirs) fs::create_directory(dir / name);

    const testing::RunResult result = run_selvane(run.args, dir.path());

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, run.output);
    for (const std::string& error : run.errors) {
      // Within one line of its own, which starts "selvane: ".
      const std::size_t at = result.errors.find(error);
      ASSERT_NE(at, std::string::npos) << result.errors;
      const std::size_t line_start = result.errors.rfind('\n', at) + 1;  // npos + 1 is 0
      EXPECT_EQ(result.errors.compare(line_start, 9, "selvane: "), 0) << result.errors;
      EXPECT_EQ(result.errors.find('\n', at), result.errors.find('\n', line_start));
    }
    std::vector<std::string> expected_names;
    for (const auto& [name, content] : run.inputs) expected_names.push_back(name);
    for (const auto& [name, content] : run.written) expected_names.push_back(name);
    std::sort(expected_names.begin(), expected_names.end());
    EXPECT_EQ(list_files(dir.path()), expected_names);
    for (const auto& [name, content] : run.written) {
      if (testing::file_exists(dir / name)) {
        EXPECT_EQ(read_file(dir / name), content) << name;
      }
    }
  }
}

// The counterparts of the length limits above: 74 characters with the line end are accepted.
TEST(FatalRun, HeadersAtTheLengthLimitLoad) {
  struct Limit {
    std::string what;
    std::string input;
  };
  const std::vector<Limit> limits = {
      {"first FASTA header", ">" + repeat('a', 72) + "\nMKVL\n>b\nMKVL\n"},
      {"later FASTA header", ">a\nMKVL\n>" + repeat('b', 73) + "\nMKVL\n"},
      {"NBRF/PIR header", ">P1;" + repeat('a', 69) + "\n\nMKVL*\n>P1;b\n\nMKVL*\n"},
  };
  for (const Limit& limit : limits) {
    SCOPED_TRACE(limit.what);
    TempDir dir;
    write_file(dir / "in", limit.input);
    const testing::RunResult result = run_selvane({"in", "-s=n", "-p=n"}, dir.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output,
              "\n2 sequences and 4 positions in the first alignment file:\nin\n\n"
              "in\n"
              "Original alignment: 4 positions\n"
              "Selvane alignment:  0 positions (0 %) in 0 selected block(s)\n\n");
  }
}

}  // namespace
}  // namespace selvane
