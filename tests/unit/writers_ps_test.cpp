// The EPS map read back by a PostScript interpreter, for file names that hold the characters
// PostScript strings treat specially.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/run_state.h"
#include "output/writers.h"
#include "support/harness.h"
#include "unit/writers_fixtures.h"

namespace selvane {
namespace {

bool ghostscript_available() {
  return std::system("gs --version > /dev/null 2>&1") == 0;
}

TEST(PostScriptMap, EveryFileNameGivesAFileTheInterpreterAccepts) {
  if (!ghostscript_available()) GTEST_SKIP() << "gs is not installed";
  const char* names[] = {"plain.fas", "a(b.fas", "a)b.fas", "trailing\\",
                         "x\\(y)z",   "((",      "))",      "mixed (1) \\n [x] {y} %z"};
  testing::TempDir dir;
  for (const char* name : names) {
    SCOPED_TRACE(name);
    RunState st;
    const std::string fichero1 = std::string("data/") + name;
    st.params.negval = 2;
    st.params.flankval = 3;
    const std::string file = std::string(name) + "-svPS";
    const auto path = dir / file;
    saveps(path.string(), st.params, st.outputs, fichero1, 500,
           testing::make_blocks(500, {{3, 40}, {100, 100}, {300, 500}}));

    const auto checked = testing::run_program(
        "gs", {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=nullpage", path.string()},
        dir.path());
    const std::string said = checked.output + checked.errors;
    EXPECT_EQ(checked.status, 0) << said;
    EXPECT_EQ(said.find("Error"), std::string::npos) << said;

    // The caption shows the file's name as it is, not as the escapes spell it.
    const auto text = testing::run_program("gs",
                                           {"-q", "-dBATCH", "-dNOPAUSE", "-dSAFER",
                                            "-sDEVICE=txtwrite", "-sOutputFile=-", path.string()},
                                           dir.path());
    EXPECT_NE(text.output.find("for the file " + file), std::string::npos) << text.output;
  }
}

}  // namespace
}  // namespace selvane
