// The NBRF/PIR and FASTA readers and load(): names, rows, line ends, limits and every message.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "core/fatal.h"
#include "core/run_state.h"
#include "input/block_reader.h"
#include "input/readers.h"
#include "support/harness.h"

namespace selvane {
namespace {

enum class Reader { kPir, kFasta, kLoadPir, kLoadFasta };

Alignment read_with(Reader reader, const std::string& path) {
  switch (reader) {
    case Reader::kPir:
      return read_alignment(path, InputFormat::kPir);
    case Reader::kFasta:
      return read_alignment(path, InputFormat::kFasta);
    case Reader::kLoadPir:
      return load(path, InputFormat::kPir);
    case Reader::kLoadFasta:
      break;
  }
  return load(path, InputFormat::kFasta);
}

// What a reader made of a file, as "name=row;" for every sequence, or the fatal text.
std::string read_text(Reader reader, const std::string& content) {
  testing::TempDir dir;
  const auto path = (dir / "aln").string();
  testing::write_file(path, content);
  try {
    const Alignment al = read_with(reader, path);
    EXPECT_EQ(al.name.size(), static_cast<std::size_t>(al.numseq) + 1);
    EXPECT_EQ(al.let.numseq(), al.numseq);
    EXPECT_EQ(al.let.width(), al.nupo);
    if (reader == Reader::kPir || reader == Reader::kFasta) {
      // The names alone, as a batch joined by taxon reads them first, are the reader's names.
      EXPECT_EQ(read_names(path, reader == Reader::kPir ? InputFormat::kPir : InputFormat::kFasta),
                al.name);
    }
    std::string text;
    for (std::int32_t s = 1; s <= al.numseq; ++s) {
      text += al.name[s] + "=" + std::string(al.let.row(s) + 1, al.let.row(s) + 1 + al.nupo) + ";";
    }
    return text;
  } catch (const FatalError& e) {
    return e.text();
  }
}

struct Case {
  const char* what;
  std::string content;
  std::string expected;
};

void check(Reader reader, const std::vector<Case>& cases) {
  for (const auto& c : cases) EXPECT_EQ(read_text(reader, c.content), c.expected) << c.what;
}

std::string repeat(char c, std::size_t n) {
  return std::string(n, c);
}

const std::string kTooLong = "\nSequence name too long\n";
const std::string kDifferent = "\nSequences with different number of positions\n";
const std::string kNotPir = "\nSequence not in NBRF/PIR format\n";
const std::string kNoStar = "\nFile not in NBRF/PIR format\n";

TEST(FastaReader, NamesRowsAndSkippedCharacters) {
  check(
      Reader::kFasta,
      {
          {"case kept, '.' is '-'", ">s1 first\nAC-GT\n>s2\nac.gt\n", "s1 first=AC-GT;s2=ac-gt;"},
          {"spaces and line breaks skipped", ">a\nAC GT\nT T\n\n>b\nACGTTT", "a=ACGTTT;b=ACGTTT;"},
          {"digits, '*' and tabs are residues", ">a\nA*1\tC\n>b\nAAAAA\n", "a=A*1\tC;b=AAAAA;"},
          {"blank lines before the first name", "\n\r\n\n>a\nAC\n>b\nGT\n", "a=AC;b=GT;"},
          {"a name line without '>' is a name whole", "seqA x\nACGT\n>b\nACGT\n",
           "seqA x=ACGT;b=ACGT;"},
          {"a first line beginning with a space is a name", " x\nAC\n>b\nAC\n", " x=AC;b=AC;"},
          {"'>' alone: the next line becomes the name", ">a\nACGT\n>\nname2\nACGT\n",
           "a=ACGT;name2=ACGT;"},
          {"a '>' inside a line starts the next name", ">a\nACGT>b\nTTTT\n", "a=ACGT;b=TTTT;"},
          {"a bare carriage return is a residue", ">a\nA\rC\n>b\nAGC\n", "a=A\rC;b=AGC;"},
          {"different lengths", ">a\nACGT\n>b\nACG\n", kDifferent},
      });
}

TEST(FastaReader, NameLengthLimit) {
  const std::string n72 = repeat('n', 72);
  const std::string n73 = repeat('n', 73);
  const std::string n74 = repeat('n', 74);
  check(
      Reader::kFasta,
      {
          // The first name line counts its '>': '>' + 72 + line end = 74.
          {"first line of 74", ">" + n72 + "\nAC\n>b\nAC\n", n72 + "=AC;b=AC;"},
          {"first line of 75", ">" + n73 + "\nAC\n>b\nAC\n", kTooLong},
          {"CRLF counts as one", ">" + n72 + "\r\nAC\r\n>b\r\nAC\r\n", n72 + "=AC;b=AC;"},
          // Later name lines lost their '>' to the sequence before.
          {"later line of 75 with its '>'", ">a\nAC\n>" + n73 + "\nAC\n", "a=AC;" + n73 + "=AC;"},
          {"later line of 76 with its '>'", ">a\nAC\n>" + n74 + "\nAC\n", kTooLong},
          {"last line of 74 without line end", ">" + n73, n73 + "=;"},
          {"last line of 75 without line end", ">" + n74, kTooLong},
          {"a long line in place of a name", ">a\nAC\n>b\nAC\n>\n\n" + repeat('A', 300), kTooLong},
      });
}

TEST(PirReader, EntriesAndSeparators) {
  check(Reader::kPir,
        {
            {"description ignored, case kept, '.' is '-'",
             ">P1;s1\ndescription one\nAC-GT*\n>P1;s2\ndesc\nac.gt*\n", "s1=AC-GT;s2=ac-gt;"},
            {"residues over lines and spaces, '*' on its own line",
             ">P1;a\nd\nAC GT\nTT\n*\n>P1;b\nd\nACGTTT*\n", "a=ACGTTT;b=ACGTTT;"},
            {"blank lines, lines beginning with a space, lone '*' lines",
             "\n>P1;a\nd\nAC*\n*\n\n  a remark\n>P1;b\nd\nGT*   trailing remark\n", "a=AC;b=GT;"},
            {"markers of later headers are not examined", ">P1;a\nd\nAC*\n>abcdef\nd\nGT*\n",
             "a=AC;def=GT;"},
            {"headers shorter than a marker", ">P1;a\nd\nAC*\n>P\nd\nGT*\n>P1\nd\nTT*\n",
             "a=AC;>P=GT;=TT;"},
            {"digits and tabs are residues", ">P1;a\nd\nA1\tC*\n>P1;b\nd\nAAAA*\n",
             "a=A1\tC;b=AAAA;"},
            {"text right after '*'", ">P1;a\nd\nAC*remark\n>P1;b\nd\nGT*\n", kNotPir},
            {"a line not beginning with '>'", ">P1;a\nd\nAC*\nP1;b\nd\nGT*\n", kNotPir},
            {"end of file before '*'", ">P1;a\nd\nAC*\n>P1;b\nd\nGT\n", kNoStar},
            {"header as last line", ">P1;a\nd\nAC*\n>P1;b", kNoStar},
            {"different lengths", ">P1;a\nd\nAC*\n>P1;b\nd\nGTT*\n", kDifferent},
        });
}

TEST(PirReader, HeaderLengthLimitAndLongDescriptions) {
  const std::string n69 = repeat('n', 69);
  const std::string n70 = repeat('n', 70);
  const std::string tail = ">P1;b\nd\nACGT*\n";
  check(
      Reader::kPir,
      {
          {"header of 74", ">P1;" + n69 + "\nd\nACGT*\n" + tail, n69 + "=ACGT;b=ACGT;"},
          {"header of 75", ">P1;" + n70 + "\nd\nACGT*\n" + tail, kTooLong},
          {"CRLF counts as one", ">P1;" + n69 + "\r\nd\r\nACGT*\r\n" + tail, n69 + "=ACGT;b=ACGT;"},
          // The length is tested before the '>'.
          {"long line that is no header", ">P1;a\nd\nACGT*\n" + repeat('x', 75) + "\n", kTooLong},
          // A description line is skipped whole, however long; none of it becomes residues.
          {"description of 300", ">P1;a\n" + repeat('d', 300) + "\nACGT*\n" + tail,
           "a=ACGT;b=ACGT;"},
          {"description of 3 MiB",
           ">P1;a\n" + repeat('d', 3 * BlockReader::kBlockSize) + "\nACGT*\n" + tail,
           "a=ACGT;b=ACGT;"},
      });
}

TEST(Readers, WindowsLineEndsGiveTheSameAlignment) {
  const std::string expected = "s1 x=AC-GT-;s2=acgttt;s3=ACGTTT;";
  const std::pair<Reader, std::string> files[] = {
      {Reader::kFasta, "\n>s1 x\nAC-G\nT.\n\n>s2\nacg\nttt\n>s3\nA C G T T T\n"},
      {Reader::kPir,
       "\n>P1;s1 x\ndesc\nAC-G\nT.*\n*\n>P1;s2\n\nacg\nttt\n*\n>P1;s3\nd\nACGTTT* r\n"},
  };
  for (const auto& [reader, lf] : files) {
    std::string crlf;
    for (const char c : lf) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    EXPECT_EQ(read_text(reader, lf), expected);
    EXPECT_EQ(read_text(reader, crlf), expected);
  }
}

TEST(Readers, CarriageReturnAtTheEndOfABlock) {
  // The first block ends with a carriage return; whether it is a residue is decided by the
  // first character of the next block.
  const std::string a(BlockReader::kBlockSize - 4, 'A');  // ">a\n" and the '\r' fill the rest
  EXPECT_EQ(read_text(Reader::kFasta, ">a\n" + a + "\r\nCC\r\n>b\n" + a + "CC\n"),
            "a=" + a + "CC;b=" + a + "CC;");
  EXPECT_EQ(read_text(Reader::kFasta, ">a\n" + a + "\rC\n>b\n" + a + "CC\n"),
            "a=" + a + "\rC;b=" + a + "CC;");
}

// Residues are copied many bytes at a time: wherever a blank, a line end, a lone carriage
// return, a tab or a '.' stands in a long line, the row is the same as one made byte by byte.
TEST(Readers, LongLinesGiveTheRowOfEveryResidueCharacter) {
  std::mt19937 rng(13);
  for (const Reader reader : {Reader::kFasta, Reader::kPir}) {
    const bool pir = reader == Reader::kPir;
    // The other reader's stop character is a residue here.
    const std::string alphabet = std::string("ACGTacgt-.\t\x01 0") + (pir ? '>' : '*');
    for (int round = 0; round < 40; ++round) {
      std::string text, row;
      for (int i = 0; i < 400; ++i) {
        const char c = alphabet[rng() % alphabet.size()];
        text += c;
        if (c != ' ') row += c == '.' ? '-' : c;
        if (rng() % 50 == 0) text += rng() % 2 == 0 ? "\r\n" : "\n";
        if (rng() % 70 == 0 && i + 1 < 400) {  // followed by a residue or a blank
          text += '\r';
          row += '\r';
        }
      }
      const std::string entry = pir ? "d\n" + text + "*\n" : text + "\n";
      const std::string marker = pir ? ">P1;" : ">";
      EXPECT_EQ(read_text(reader, marker + "a\n" + entry + marker + "b\n" + entry),
                "a=" + row + ";b=" + row + ";")
          << (pir ? "NBRF/PIR" : "FASTA") << " round " << round;
    }
  }
}

TEST(Load, CountsAndAllGapPositions) {
  check(Reader::kLoadFasta,
        {
            {"'-' and '.' columns removed", ">a\nA-.C-\n>b\nG-.T.\n", "a=AC;b=GT;"},
            {"first and last columns removed", ">a\n-A-C-\n>b\n-GT--\n", "a=A-C;b=GT-;"},
            {"a column is dropped only if every row has a gap", ">a\n---A\n>b\nA--A\n>c\nAA-A\n",
             "a=--A;b=A-A;c=AAA;"},
            {"nothing to drop", ">a\nAC\n>b\nGT\n", "a=AC;b=GT;"},
            {"one position left", ">a\n-A-\n>b\n.C-\n",
             "\nToo few positions in the alignment (at least two positions are necessary): 1\n"},
            {"nothing but gaps", ">a\n--\n>b\n..\n",
             "\nToo few positions in the alignment (at least two positions are necessary): 0\n"},
            {"one sequence", ">a\nACGT\n",
             "\nFile not in NBRF/PIR format or too few sequences in the alignment: 1\n"},
            {"no sequence", "\n\n",
             "\nFile not in NBRF/PIR format or too few sequences in the alignment: 0\n"},
        });
  check(Reader::kLoadPir,
        {
            {"NBRF/PIR columns removed", ">P1;a\nd\nA-C*\n>P1;b\nd\nG.T*\n", "a=AC;b=GT;"},
            {"one sequence", ">P1;a\nd\nACGT*\n",
             "\nFile not in NBRF/PIR format or too few sequences in the alignment: 1\n"},
        });
}

TEST(Load, FailuresThatNeedNoFile) {
  testing::TempDir dir;
  const std::string missing = (dir / "missing").string();
  const std::pair<InputFormat, std::string> cases[] = {
      {InputFormat::kPir, "\nFile not opened\n"},
      {InputFormat::kFasta, "\nFile not opened\n"},
      // No input detected yet: no reader runs at all.
      {InputFormat::kNone,
       "\nFile not in NBRF/PIR format or too few sequences in the alignment: 0\n"},
  };
  for (const auto& [fileformat, error] : cases) {
    try {
      load(missing, fileformat);
      ADD_FAILURE() << static_cast<int>(fileformat);
    } catch (const FatalError& e) {
      EXPECT_EQ(e.text(), error) << static_cast<int>(fileformat);
    }
  }
}

TEST(Load, RowsKeepTheirPaddingLayoutAfterRemoval) {
  testing::TempDir dir;
  const auto path = (dir / "aln").string();
  testing::write_file(path, ">a\n-AC-G\n>b\n-GT-A\n>c\n-TT-C\n");
  Alignment al = load(path, InputFormat::kFasta);
  ASSERT_EQ(al.nupo, 3);
  // Row s starts at (s - 1) * stride with its padding byte; the buffer holds nothing more.
  EXPECT_EQ(al.let.stride(), 4u);
  EXPECT_EQ(al.let.row(2) - al.let.row(1), 4);
  EXPECT_EQ(std::string(al.let.row(3) + 1, 3), "TTC");
  EXPECT_EQ(al.let.storage().size(), 12u);
}

// Codons keep their frame: a column of gaps is removed only with the whole codon it is part of
// (input columns 1-3, 4-6, ..., the last group as wide as the input leaves it). Examples, then
// the property on random alignments: each position is its input column, and each column left
// out is gaps in every row, with the rest of its codon.
TEST(Load, CodonsLoseOnlyWholeCodonsOfGaps) {
  const struct {
    const char* rows;  // two rows, as "ROW1/ROW2"
    const char* kept;
    std::vector<std::int32_t> columns;
  } cases[] = {
      {"AC-GTA/AC-GTT", "AC-GTA/AC-GTT", {1, 2, 3, 4, 5, 6}},
      {"ACG---TTA/ACG---TTT", "ACGTTA/ACGTTT", {1, 2, 3, 7, 8, 9}},
      {"AC----TTA/AC--.-TTT", "AC-TTA/AC-TTT", {1, 2, 3, 7, 8, 9}},
      {"AC-----TA/AC-.---TT", "AC--TA/AC--TT", {1, 2, 3, 7, 8, 9}},
      {"ACGTTA-/ACGTTT-", "ACGTTA/ACGTTT", {1, 2, 3, 4, 5, 6}},  // a last group of one
      {"ACGTTAC-/ACGTTTA-", "ACGTTAC-/ACGTTTA-", {1, 2, 3, 4, 5, 6, 7, 8}},
  };
  testing::TempDir dir;
  const auto path = (dir / "aln").string();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    const std::string rows = c.rows;
    const std::size_t slash = rows.find('/');
    testing::write_file(path, ">a\n" + rows.substr(0, slash) + "\n>b\n" + rows.substr(slash + 1));
    Alignment al = load(path, InputFormat::kFasta);
    keep_codon_frame(al);
    EXPECT_EQ(std::string(al.let.row(1) + 1, static_cast<std::size_t>(al.nupo)) + "/" +
                  std::string(al.let.row(2) + 1, static_cast<std::size_t>(al.nupo)),
              c.kept);
    std::vector<std::int32_t> columns = input_columns(al);
    EXPECT_EQ(std::vector<std::int32_t>(columns.begin() + 1, columns.end()), c.columns);
  }

  std::mt19937 rng(23);
  for (int round = 0; round < 200; ++round) {
    const auto width = static_cast<std::int32_t>(2 + rng() % 40);
    std::vector<std::string> raw(3);
    for (std::int32_t p = 0; p < width; ++p) {
      const bool gaps = rng() % 3 == 0;  // a column of gaps in every row
      for (std::string& row : raw) row += gaps ? "-.-"[rng() % 3] : "ACGT-"[rng() % 5];
    }
    testing::write_file(path, ">a\n" + raw[0] + "\n>b\n" + raw[1] + "\n>c\n" + raw[2] + "\n");
    const auto gap_column = [&](std::int32_t column) {  // from 1; past the input: a gap
      return column > width || std::all_of(raw.begin(), raw.end(), [&](const std::string& row) {
               return row[static_cast<std::size_t>(column - 1)] != 'A' &&
                      row[static_cast<std::size_t>(column - 1)] != 'C' &&
                      row[static_cast<std::size_t>(column - 1)] != 'G' &&
                      row[static_cast<std::size_t>(column - 1)] != 'T';
             });
    };
    Alignment al;
    try {
      al = load(path, InputFormat::kFasta);
    } catch (const FatalError&) {
      continue;  // fewer than two positions left
    }
    keep_codon_frame(al);
    const std::vector<std::int32_t> columns = input_columns(al);
    std::vector<bool> kept(static_cast<std::size_t>(width) + 1, false);
    for (std::int32_t p = 1; p <= al.nupo; ++p) {
      const std::int32_t column = columns[static_cast<std::size_t>(p)];
      ASSERT_TRUE(column >= 1 && column <= width);
      kept[static_cast<std::size_t>(column)] = true;
      for (std::int32_t s = 1; s <= 3; ++s) {
        const char in = raw[static_cast<std::size_t>(s - 1)][static_cast<std::size_t>(column - 1)];
        EXPECT_EQ(al.let.row(s)[p], in == '.' ? '-' : in);
      }
    }
    // A column is left out exactly when its whole codon is gaps.
    for (std::int32_t column = 1; column <= width; ++column) {
      const std::int32_t first = (column - 1) / 3 * 3 + 1;
      EXPECT_EQ(kept[static_cast<std::size_t>(column)],
                !(gap_column(first) && gap_column(first + 1) && gap_column(first + 2)))
          << column;
    }
  }
}

// Running out of memory keeps the array's message on standard output (the number on its own
// line after "let\n") and says it in words on standard error.
TEST(MemoryFailure, KeepsTheArraysMessageAndExplainsIt) {
  const auto fail = [] { throw std::bad_alloc(); };
  struct Failing {
    std::function<void()> run;
    std::string text, detail;
  };
  const std::vector<Failing> cases = {
      {[&] { allocating("let\n", 3, fail); }, "\nMemory allocation failure in let\n3\n",
       "out of memory (array let, number 3)"},
      {[&] { allocating("val", fail); }, "\nMemory allocation failure in val\n",
       "out of memory (array val)"},
  };
  for (const Failing& c : cases) {
    try {
      c.run();
      ADD_FAILURE() << "no error";
    } catch (const MemoryFailure& error) {
      EXPECT_EQ(error.text(), c.text);
      EXPECT_EQ(error.detail(), c.detail);
    }
  }
}

}  // namespace
}  // namespace selvane
