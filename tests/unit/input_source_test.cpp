// The reader over a byte source: how the bytes come in changes nothing, gzip data of any shape
// included; line ends and lines are noted as the input is read; problems say where they were
// found.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/fatal.h"
#include "input/block_reader.h"
#include "input/builders.h"
#include "input/formats.h"
#include "input/readers.h"
#include "support/compress.h"
#include "support/harness.h"

namespace selvane {
namespace {

// Hands out `text` `chunk` bytes at a time at most, as a pipe may; its size is not known.
class ChunkedSource final : public ByteSource {
 public:
  ChunkedSource(std::string name, std::string text, std::size_t chunk)
      : ByteSource(std::move(name)), text_(std::move(text)), chunk_(chunk) {}
  SourceRead read(char* to, std::size_t n) override {
    const std::size_t bytes = std::min({n, chunk_, text_.size() - at_});
    text_.copy(to, bytes, at_);
    at_ += bytes;
    return {bytes, 0};
  }

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

BlockReader chunked(const std::string& text, std::size_t chunk, std::string name = "in") {
  return BlockReader(std::make_unique<ChunkedSource>(std::move(name), text, chunk));
}

const std::size_t kChunks[] = {1, 2, 3, 7, 64, 4099, BlockReader::kBlockSize + 1};

// What load() made of an input: every row, or the message and its detail.
template <class Load>
std::string outcome(Load&& load_it) {
  try {
    const Alignment al = load_it();
    std::string text;
    for (std::int32_t s = 1; s <= al.numseq; ++s) {
      text += al.name[static_cast<std::size_t>(s)] + "=";
      text += std::string(al.let.row(s) + 1, static_cast<std::size_t>(al.nupo)) + ";";
    }
    return text;
  } catch (const FatalError& e) {
    return e.text() + "|" + e.detail();
  }
}

TEST(ByteSource, ChunksOfAnySizeGiveTheAlignmentAndMessagesOfTheFile) {
  const std::string long_row(3 * BlockReader::kBlockSize / 2, 'A');
  const std::pair<InputFormat, std::string> inputs[] = {
      {InputFormat::kFasta, ">a x\nAC-G\nT.\n>b\r\nacg\r\nttt\r\n"},
      {InputFormat::kFasta, "\xEF\xBB\xBF>a\nA\rC\n>b\nAGC\n"},
      {InputFormat::kFasta, ">a\n" + long_row + "\r\nCC\n>b\n" + long_row + "CC\n"},
      {InputFormat::kFasta, ">a\rAC\r>b\rAC\r"},  // lines ended by carriage returns alone
      {InputFormat::kFasta, ">a\nAC\n>b\nACG\n"},
      {InputFormat::kFasta, ">a\n-A-\n>b\n-C-\n"},
      {InputFormat::kPir, "\n>P1;s1\ndesc\nAC-G\nT.*\n*\n>P1;s2\n\nacgttt* r\n"},
      {InputFormat::kPir, ">P1;a\nd\nAC*\nP1;b\nd\nGT*\n"},
      {InputFormat::kPir, ">P1;a\nd\nAC*\n>P1;" + std::string(80, 'n') + "\nd\nGT*\n"},
  };
  testing::TempDir dir;
  const std::string path = (dir / "aln").string();
  for (const auto& input : inputs) {
    const InputFormat format = input.first;
    const std::string& text = input.second;
    testing::write_file(path, text);
    const std::string expected = outcome([&] { return load(path, format); });
    for (const std::size_t chunk : kChunks) {
      EXPECT_EQ(outcome([&] { return load(chunked(text, chunk, path), format); }), expected)
          << text.substr(0, 30) << " in chunks of " << chunk;
    }
    // The same text compressed: one member, members of 5 bytes, bgzip's blocks.
    const std::string compressed[] = {testing::gzip(text), testing::gzip(text, 5),
                                      testing::gzip(text, 4096, true)};
    for (const std::string& gz : compressed) {
      for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, BlockReader::kBlockSize}) {
        EXPECT_EQ(outcome([&] { return load(chunked(gz, chunk, path), format); }), expected)
            << text.substr(0, 30) << " compressed, in chunks of " << chunk;
      }
    }
  }
}

// Damaged gzip data ends the run as a file that cannot be read, however far in the damage lies:
// never does what came before it pass for the whole alignment.
TEST(ByteSource, DamagedGzipDataIsAFileNotRead) {
  std::string text;
  for (int s = 0; s < 40; ++s)
    text += ">s" + std::to_string(s) + "\n" + std::string(3000, 'A') + "\n";
  const std::string whole = testing::gzip(text, 20000);
  std::string bad_check = whole;
  bad_check[bad_check.size() - 6] = static_cast<char>(bad_check[bad_check.size() - 6] ^ 1);
  const std::pair<std::string, std::string> damages[] = {
      {whole.substr(0, whole.size() - 1), "its gzip data is cut short (the file is truncated)"},
      {whole.substr(0, 2), "its gzip data is cut short (the file is truncated)"},
      {bad_check, "its gzip data is damaged (incorrect data check)"},
      {whole + "\n>", "what follows its gzip data is not gzip data (incorrect header check)"},
      {"\x1f\x8bxyz", "its gzip data is damaged (unknown compression method)"},
  };
  for (const auto& damage : damages) {
    for (const std::size_t chunk : {std::size_t{3}, BlockReader::kBlockSize}) {
      EXPECT_EQ(outcome([&] { return load(chunked(damage.first, chunk), InputFormat::kFasta); }),
                "\nFile not read\n|in: cannot read the file: " + damage.second);
    }
  }
}

// The rows of an input of unknown size grow past the size where they become a mapping of their
// own, keeping every byte.
TEST(RowStorage, GrowsKeepingItsBytes) {
  RowStorage rows;
  std::string expected;
  for (std::size_t step = 1; rows.size() < 3 * kHugePageSize; step = step * 3 + 1) {
    const char c = static_cast<char>('a' + step % 26);
    rows.resize(rows.size() + step);
    std::memset(rows.data() + expected.size(), c, step);
    expected.append(step, c);
    rows.push_back('x');
    expected.push_back('x');
  }
  const RowStorage copy = rows;
  ASSERT_EQ(std::string(copy.data(), copy.size()), expected);
  RowStorage moved = std::move(rows);
  EXPECT_EQ(std::string(moved.data(), moved.size()), expected);
  moved.resize(10);
  EXPECT_EQ(std::string(moved.data(), moved.size()), expected.substr(0, 10));
}

TEST(BlockReader, LooksAheadWithoutConsumingAndNotesLineEnds) {
  const std::string long_line(BlockReader::kBlockSize + 100, 'x');
  struct Case {
    std::string text;
    std::string first_line;
    LineEnds ends;
  };
  const Case cases[] = {
      {"\n\r\n>a b\r\nAC\n", ">a b", LineEnds::kLf},
      {"\r\n>a\r\nAC", ">a", LineEnds::kCrLf},
      {"\xEF\xBB\xBF>a\rAC\r", ">a\rAC\r", LineEnds::kCr},
      {"\n\n", "", LineEnds::kLf},
      {"", "", LineEnds::kNone},
      {"\r", "\r", LineEnds::kCr},
      {"\n" + long_line + "\r\nz", long_line, LineEnds::kLf},
      // Only the first block tells: a carriage return past it is not looked for.
      {long_line + "\r", long_line + "\r", LineEnds::kNone},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    BlockReader whole = chunked(c.text, c.text.size() + 1);
    for (std::string line; whole.read_line(line);) lines.push_back(line);
    for (const std::size_t chunk : kChunks) {
      SCOPED_TRACE(c.text.substr(0, 20) + " in chunks of " + std::to_string(chunk));
      BlockReader in = chunked(c.text, chunk);
      EXPECT_EQ(in.first_nonblank_line(), c.first_line);
      EXPECT_EQ(in.first_nonblank_line(), c.first_line);
      EXPECT_EQ(in.line_ends(), c.ends);
      std::vector<std::string> again;
      for (std::string line; in.read_line(line);) again.push_back(line);
      EXPECT_EQ(again, lines);
    }
  }
}

// Where each problem is found, by both sinks where both find it: the lines are counted through
// long multi-line sequences that the readers copy or skip many bytes at a time.
TEST(ReadProblems, NameTheLineAndTheSequence) {
  std::string rows;
  for (int i = 0; i < 100; ++i) rows += std::string(70, i % 2 == 0 ? 'A' : 'C') + "\r\n";
  struct Case {
    InputFormat format;
    std::string text;
    ReadProblemKind kind;
    std::int64_t line;
    std::int32_t sequence;
    bool names_too;  // the names alone show it too, as the same sequence
  };
  const Case cases[] = {
      {InputFormat::kFasta, "\n>a\n" + rows + ">b\nAC\n", ReadProblemKind::kUnequalLengths, 103, 2,
       false},
      {InputFormat::kFasta, ">a\n" + rows + ">b\n" + rows + ">" + std::string(80, 'n') + "\n",
       ReadProblemKind::kNameTooLong, 203, 3, true},
      {InputFormat::kPir, ">P1;a\nd\n" + rows + "*\n\nx\n", ReadProblemKind::kNotPirEntry, 105, 2,
       true},
      {InputFormat::kPir, ">P1;a\nd\nAC*\n>P1;b\nd\n" + rows, ReadProblemKind::kPirEntryUnended, 4,
       2, true},
  };
  for (const Case& c : cases) {
    const InputFormatRow* row = find_input_format(c.format);
    ASSERT_NE(row, nullptr);
    AlignmentBuilder alignment(0);
    NamesBuilder names;
    const std::vector<SequenceSink*> sinks = {&alignment, &names};
    for (SequenceSink* sink : sinks) {
      if (sink == &names && !c.names_too) continue;
      SCOPED_TRACE(c.text.substr(0, 12) + (sink == &names ? " (names)" : ""));
      BlockReader in = chunked(c.text, 4099);
      const std::optional<ReadProblem> problem = row->read(in, *sink, ReadOptions());
      ASSERT_TRUE(problem.has_value());
      EXPECT_EQ(problem->kind, c.kind);
      EXPECT_EQ(problem->line, c.line);
      EXPECT_EQ(problem->sequence, c.sequence);
    }
  }
}

}  // namespace
}  // namespace selvane
