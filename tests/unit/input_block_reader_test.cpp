// Lines and line ends as the block reader hands them out.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "input/block_reader.h"
#include "support/harness.h"

namespace selvane {
namespace {

using Lines = std::vector<std::pair<std::string, bool>>;  // text, closed by a line end

Lines lines_of(const std::string& content) {
  testing::TempDir dir;
  testing::write_file(dir / "f", content);
  auto reader = BlockReader::open((dir / "f").string());
  EXPECT_TRUE(reader.has_value());
  EXPECT_EQ(reader->size_hint(), content.size());
  Lines lines;
  std::string text;
  bool ended = false;
  while (reader->read_line(text, &ended)) lines.emplace_back(text, ended);
  return lines;
}

TEST(BlockReader, LineEnds) {
  struct Case {
    const char* what;
    std::string content;
    Lines lines;
  };
  const Case cases[] = {
      {"LF", "ab\ncd\n", {{"ab", true}, {"cd", true}}},
      {"CRLF", "ab\r\ncd\r\n", {{"ab", true}, {"cd", true}}},
      {"bare CR inside a line", "a\rb\n", {{"a\rb", true}}},
      {"bare CR at the end of the file", "ab\r", {{"ab\r", false}}},
      {"only the CR before the LF goes", "ab\r\r\n", {{"ab\r", true}}},
      {"blank lines of both kinds", "\n\r\n", {{"", true}, {"", true}}},
      {"no final line end", "ab\ncd", {{"ab", true}, {"cd", false}}},
      {"empty file", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(lines_of(c.content), c.lines) << c.what;
}

TEST(BlockReader, LinesCrossBlocksWhole) {
  // The CR of the first line end is the last byte of the first block, its LF the first of the
  // second; the second line is longer than a block.
  const std::string first(BlockReader::kBlockSize - 1, 'a');
  const std::string second(BlockReader::kBlockSize + 10, 'b');
  EXPECT_EQ(lines_of(first + "\r\n" + second + "\r\nc"),
            (Lines{{first, true}, {second, true}, {"c", false}}));
}

TEST(BlockReader, CharactersAndSkippedLines) {
  testing::TempDir dir;
  testing::write_file(dir / "f", "xy\nlong line\r\nz");
  EXPECT_FALSE(BlockReader::open((dir / "missing").string()).has_value());
  auto reader = BlockReader::open((dir / "f").string());
  ASSERT_TRUE(reader.has_value());
  EXPECT_EQ(reader->peek(), 'x');
  EXPECT_EQ(reader->get(), 'x');
  EXPECT_EQ(reader->buffered(), "y\nlong line\r\nz");
  reader->consume(2);
  reader->skip_line();
  EXPECT_EQ(reader->get(), 'z');
  EXPECT_EQ(reader->peek(), EOF);
  EXPECT_EQ(reader->get(), EOF);
  EXPECT_TRUE(reader->buffered().empty());
}

}  // namespace
}  // namespace selvane
