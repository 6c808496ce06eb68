// The reader of menu answers: choices, numbers, words and file names.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "core/fatal.h"
#include "core/writer.h"
#include "menus/menu_input.h"

namespace selvane {
namespace {

// Feeds `input` to a MenuInput and hands it to `body`; true when the input ran out on a read.
bool with_input(const std::string& input, const std::function<void(MenuInput&)>& body) {
  std::string text = input;
  std::FILE* in = fmemopen(text.data(), text.size(), "r");
  Writer out = Writer::to_stream(stdout);
  MenuInput reader(in, out);
  bool ended = false;
  try {
    body(reader);
  } catch (const ExitRequest& request) {
    EXPECT_EQ(request.status, 1);
    ended = true;
  }
  std::fclose(in);
  return ended;
}

TEST(MenuInputChoice, OneCharacterThenTheRestOfTheLineIsDropped) {
  std::string seen;
  const bool ended = with_input("open file\nQ\n\n \nb", [&](MenuInput& in) {
    for (int i = 0; i < 6; ++i) seen += in.choice();
  });
  // "open file" -> 'o'; "Q" as typed (the menus lower-case it); an empty line is the line
  // break itself; a blank is a choice of its own; "b" without a line end still counts.
  EXPECT_EQ(seen, std::string("oQ\n b"));
  EXPECT_TRUE(ended);
}

TEST(MenuInputChoice, WindowsLineEndsAreLineEnds) {
  std::string seen;
  with_input("g\r\n\r\n\rx\n", [&](MenuInput& in) {
    for (int i = 0; i < 3; ++i) seen += in.choice();
  });
  // An empty CRLF line is a line break; a carriage return alone is a choice of its own.
  EXPECT_EQ(seen, std::string("g\n\r"));
}

TEST(MenuInputChoice, EndOfInputEndsTheProcess) {
  EXPECT_TRUE(with_input("", [](MenuInput& in) { in.choice(); }));
}

TEST(MenuInputNumber, ReadsLikePercentIAndDropsTheRestOfTheLine) {
  struct Case {
    const char* input;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"42\n", 42},
      {"  -7 junk\n", -7},
      {"+5\n", 5},
      {"0x1F\n", 31},
      {"0X1f\n", 31},
      {"-0x10\n", -16},
      {"017\n", 15},
      {"09\n", 0},  // octal: the 9 is not a digit of it
      {"0\n", 0},
      {"0x\n", 0},  // the 0 was read, the x is dropped
      {"12abc\n", 12},
      {"\n\n   12\n", 12},  // blank lines are skipped as %i skips them
      {"\t8\r\n", 8},
      {"abc\n", std::nullopt},
      {"- 5\n", std::nullopt},
      {"-\n", std::nullopt},
      {"x12\n", std::nullopt},
      {"2147483647\n", INT32_MAX},
      {"2147483648\n", INT32_MAX},
      {"99999999999999999999\n", INT32_MAX},
      {"-2147483648\n", INT32_MIN},
      {"-99999999999\n", INT32_MIN},
      {"0xFFFFFFFFFF\n", INT32_MAX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    std::optional<std::int32_t> got;
    char next = 0;
    const bool ended = with_input(std::string(c.input) + "n\n", [&](MenuInput& in) {
      got = in.number();
      next = in.choice();
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(got, c.expected);
    // What followed the number on its line is gone; the next read starts on the next line.
    EXPECT_EQ(next, 'n');
  }
  // A last line without its line end still gives its number.
  std::optional<std::int32_t> got;
  EXPECT_FALSE(with_input("32000", [&](MenuInput& in) { got = in.number(); }));
  EXPECT_EQ(got, 32000);
}

TEST(MenuInputNumber, EndOfInputBeforeAnyCharacterEndsTheProcess) {
  EXPECT_TRUE(with_input("", [](MenuInput& in) { in.number(); }));
  EXPECT_TRUE(with_input("\n \n", [](MenuInput& in) { in.number(); }));
}

TEST(MenuInputWord, OneWordAfterBlanksAndLineBreaks) {
  std::string first;
  std::string second;
  char next = 0;
  const bool ended = with_input("  .abc def\n\n\tx-y\nz\n", [&](MenuInput& in) {
    first = in.word();
    second = in.word();
    next = in.choice();
  });
  EXPECT_FALSE(ended);
  EXPECT_EQ(first, ".abc");
  EXPECT_EQ(second, "x-y");
  EXPECT_EQ(next, 'z');
  EXPECT_TRUE(with_input(" \n", [](MenuInput& in) { in.word(); }));
}

TEST(MenuInputLine, WholeLineWithoutItsLineEndOrCarriageReturn) {
  struct Case {
    std::string input;
    std::string expected;
  };
  const std::string long_name = std::string(450, 'a') + ".fas";
  const Case cases[] = {
      {"dir/my file.fas\n", "dir/my file.fas"},
      {"  spaced  \n", "  spaced  "},
      {"crlf.fas\r\n", "crlf.fas"},
      {"inner\rcr\n", "inner\rcr"},
      {"\n", ""},
      {long_name + "\n", long_name},
      {"last", "last"},
      {std::string("nul\0tail\n", 9), "nul"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    std::string got;
    const bool ended = with_input(c.input, [&](MenuInput& in) { got = in.line(); });
    EXPECT_FALSE(ended);
    EXPECT_EQ(got, c.expected);
  }
  EXPECT_TRUE(with_input("", [](MenuInput& in) { in.line(); }));
}

TEST(MenuInput, PromptReachesTheStreamBeforeEveryKindOfRead) {
  using Read = std::function<void(MenuInput&)>;
  const Read reads[] = {
      [](MenuInput& in) { in.choice(); },
      [](MenuInput& in) { in.number(); },
      [](MenuInput& in) { in.word(); },
      [](MenuInput& in) { in.line(); },
  };
  for (const auto& read : reads) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* mem = open_memstream(&buffer, &size);
    std::string text = "7\n";
    std::FILE* in = fmemopen(text.data(), text.size(), "r");
    {
      Writer out = Writer::to_stream(mem);
      MenuInput reader(in, out);
      out.write("Your Choice: ");
      read(reader);
      // Only what the reader flushed has reached the stream at this point.
      std::fflush(mem);
      EXPECT_EQ(std::string(buffer, size), "Your Choice: ");
    }
    std::fclose(mem);
    std::free(buffer);
    std::fclose(in);
  }
}

}  // namespace
}  // namespace selvane
