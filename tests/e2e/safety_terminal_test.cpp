// Standard error shows names and paths that come from files and users: none of them may act on
// the terminal (an escape sequence that retitles or clears it) or forge a line of its own. Each
// diagnostic is one line, its control characters escaped and its printable UTF-8 kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/diagnostics.h"
#include "e2e/safety_support.h"
#include "support/harness.h"

namespace selvane {
namespace {

using testing::kFour;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

TEST(Diagnostics, ControlCharactersAndBytesOutsideUtf8AreEscaped) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"plain é ü 名 𝔸", "plain é ü 名 𝔸"},
      {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
      {"\x1b]0;title\x07\x1b[2J", "\\x1b]0;title\\x07\\x1b[2J"},
      {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f"},
      {"\xc2\x9b"
       "31m \xc2\xa0",
       "\\xc2\\x9b31m \xc2\xa0"},  // C1 CSI; a no-break space stays
      // Latin-1, a lone continuation byte, a surrogate, an overlong slash, a cut character.
      {"caf\xe9 \x9b \xed\xa0\x80 \xc0\xaf \xe2\x82",
       "caf\\xe9 \\x9b \\xed\\xa0\\x80 \\xc0\\xaf \\xe2\\x82"},
      {"back\\slash \\n", "back\\slash \\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shown_on_one_line(c.text), c.shown) << c.shown;
  }
}

// Hostile names in every place a diagnostic takes one from: the input's path, a sequence name,
// the path of an alignment that is read, an argument.
TEST(Diagnostics, HostileNamesAndPathsGiveOneLineEach) {
  const std::string uneven = ">s1\nMKVLAAGLLAPQ\n>\x1b[2J\x1b[H\n\nMKV\n";
  const std::string forged_path = "x\x1b]0;owned\x07\nselvane: forged.fas";
  const std::string odd_path = "t\tcaf\xe9\xc2\x9b\x7f\n.fas";
  const struct {
    std::string file, content;
    std::vector<std::string> args;
    std::string shown;
  } cases[] = {
      {"", "", {forged_path, "-k=y"}, "x\\x1b]0;owned\\x07\\nselvane: forged.fas"},
      {"a.fas", uneven, {"a.fas", "-k=y"}, "\\x1b[2J\\x1b[H"},
      {odd_path, uneven, {odd_path, "-k=y"}, "t\\tcaf\\xe9\\xc2\\x9b\\x7f\\n.fas"},
      {"a.fas", kFour, {"a.fas", "-x\x1b[31m\r"}, "\\x1b[31m\\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    TempDir dir;
    if (!c.file.empty()) write_file(dir / c.file, c.content);
    const std::string errors = run_selvane(c.args, dir.path()).errors;
    ASSERT_TRUE(errors.ends_with('\n')) << errors;
    for (std::size_t start = 0, end; start < errors.size(); start = end + 1) {
      end = errors.find('\n', start);
      const std::string line = errors.substr(start, end - start);
      EXPECT_TRUE(line.starts_with("selvane: ") && !line.starts_with("selvane: forged")) << line;
      EXPECT_EQ(shown_on_one_line(line), line);
    }
    EXPECT_NE(errors.find(c.shown), std::string::npos) << errors;
  }
}

}  // namespace
}  // namespace selvane
