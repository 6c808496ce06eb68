// The usage of --help, the manual page and the README describe the same options, with the
// defaults the program really starts with; the README's examples run as written.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "driver/invocation.h"
#include "driver/option_table.h"
#include "support/harness.h"

namespace selvane {
namespace {

using testing::read_file;
using testing::source_dir;

struct Documented {
  std::string name;          // as typed: "-b3=", "--posix-exit"
  std::string default_text;  // empty: the default depends on the alignment, or is none
};

// Every option the command line accepts, with the start-up default --help shows for it.
std::vector<Documented> options() {
  const RunState start;
  std::vector<Documented> documented;
  for (const OptionRow& row : option_table()) {
    const bool bare = row.kind == ValueKind::kNone || row.kind == ValueKind::kOptionalText;
    documented.push_back({std::string(row.name) + (bare ? "" : "="),
                          row.default_of != nullptr ? row.default_of(start) : ""});
  }
  return documented;
}

// The text from `start` up to the next occurrence of `next_entry` (or the end).
std::string entry(const std::string& text, std::size_t start, const std::string& next_entry) {
  const std::size_t end = text.find(next_entry, start + 1);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// An option of the usage is a line "  -name..." with its continuation lines.
TEST(Documentation, UsageListsEveryOptionWithItsDefault) {
  const std::string usage = usage_text(RunState{});
  for (const Documented& option : options()) {
    SCOPED_TRACE(option.name);
    const std::size_t at = usage.find("\n  " + option.name);
    ASSERT_NE(at, std::string::npos);
    if (option.default_text.empty()) continue;
    const std::string text = entry(usage, at, "\n  -");
    const bool found = text.find("(default: " + option.default_text + ")") != std::string::npos ||
                       text.find("(default: " + option.default_text + ",") != std::string::npos;
    EXPECT_TRUE(found) << text;
  }
}

// An option of the manual page is a tagged paragraph (.TP) whose tag starts with the name,
// its minus signs written \-.
TEST(Documentation, ManualPageListsEveryOptionWithItsDefault) {
  const std::string page = read_file(source_dir() / "selvane.1");
  for (const Documented& option : options()) {
    SCOPED_TRACE(option.name);
    std::string roff_name;
    for (const char c : option.name) roff_name += c == '-' ? std::string("\\-") : std::string(1, c);
    std::size_t at = page.find(".TP\n.BR " + roff_name);
    if (at == std::string::npos) at = page.find(".TP\n.BI " + roff_name);
    if (at == std::string::npos) at = page.find(".TP\n.B " + roff_name);
    ASSERT_NE(at, std::string::npos);
    if (option.default_text.empty()) continue;
    std::string text = entry(page, at, ".TP\n");
    // "Default: 8." or, for a value set in bold, "Default:\n.BR Y ." once the markup is gone.
    for (const std::string markup : {"\n.BR ", "\n.B "}) {
      for (std::size_t m; (m = text.find(markup)) != std::string::npos;)
        text.replace(m, markup.size(), " ");
    }
    for (std::size_t m; (m = text.find("\\-")) != std::string::npos;) text.replace(m, 2, "-");
    const bool found = text.find("Default: " + option.default_text + ".") != std::string::npos ||
                       text.find("Default: " + option.default_text + " .") != std::string::npos ||
                       text.find("Default: " + option.default_text + ",") != std::string::npos;
    EXPECT_TRUE(found) << text;
  }
}

// The README's option table: one row per option, the default in its third column.
TEST(Documentation, ReadmeTableListsEveryOptionWithItsDefault) {
  const std::string readme = read_file(source_dir() / "README.md");
  for (const Documented& option : options()) {
    SCOPED_TRACE(option.name);
    const std::size_t at = readme.find("\n| `" + option.name + "` |");
    ASSERT_NE(at, std::string::npos);
    if (option.default_text.empty()) continue;
    const std::string row = readme.substr(at + 1, readme.find('\n', at + 1) - at - 1);
    // | name | values | default | effect |
    std::vector<std::string> cells;
    for (std::size_t from = 1, bar; (bar = row.find(" |", from)) != std::string::npos;
         from = bar + 2) {
      cells.push_back(row.substr(from, bar - from));
    }
    ASSERT_GE(cells.size(), 3u) << row;
    std::string value = cells[2];
    std::erase(value, '`');
    std::erase(value, ' ');
    EXPECT_EQ(value.rfind(option.default_text, 0), 0u) << row;
  }
}

// The README's examples marked as runnable run as written, from the top of a copy of the
// repository's examples, with the selvane just built: no argument ignored or refused, no error,
// nothing at all on standard error.
TEST(Documentation, ReadmeExamplesRunAsWritten) {
  const std::string readme = read_file(source_dir() / "README.md");
  const std::string marker =
      "<!-- example: runs as written from the top of the repository -->\n```\n";
  const std::string binary_dir = std::filesystem::path(SELVANE_BINARY).parent_path().string();
  int blocks = 0;
  for (std::size_t at = readme.find(marker); at != std::string::npos;
       at = readme.find(marker, at + 1)) {
    const std::size_t start = at + marker.size();
    const std::string block = readme.substr(start, readme.find("```", start) - start);
    SCOPED_TRACE(block);
    ++blocks;
    testing::TempDir dir;
    std::filesystem::copy(source_dir() / "examples", dir / "examples");
    std::filesystem::create_directory(dir / "out");
    const auto run =
        testing::run_program("sh", {}, dir.path(), "PATH='" + binary_dir + "':$PATH\n" + block);
    EXPECT_LE(run.status, 1);  // the status of the last command: selvane's classic 1 at most
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.output.find("Execution terminated"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("failed"), std::string::npos) << run.output;
    EXPECT_GT(testing::list_files(dir / "out").size(), 1u);
    // They say they write into out/: nothing new beside the examples.
    EXPECT_EQ(testing::list_files(dir / "examples"),
              testing::list_files(source_dir() / "examples"));
  }
  EXPECT_GE(blocks, 2);
}

// Every selvane command of the README's pipelines, of the manual page's examples and of the
// Snakemake workflow carries --strict: without it the status is 1 after a run that succeeded,
// and a `set -e` script or a workflow manager stops there.
TEST(Documentation, PipelineExamplesUseStrict) {
  const std::string readme = read_file(source_dir() / "README.md");
  const std::size_t pipelines = readme.find("\n## Use in pipelines\n");
  const std::string page = read_file(source_dir() / "selvane.1");
  const struct {
    std::string text;
    std::string option, strict;  // as the source writes them
  } sources[] = {
      {readme.substr(pipelines, readme.find("\n## ", pipelines + 1) - pipelines), " -", "--strict"},
      {page.substr(page.find("\n.SH EXAMPLES\n")), " \\-", "\\-\\-strict"},
      {read_file(source_dir() / "workflow/Snakefile"), " -", "--strict"},
  };
  int commands = 0;
  for (const auto& source : sources) {
    std::istringstream lines(source.text);
    for (std::string line; std::getline(lines, line);) {
      // A command line: selvane, an input and options.
      const std::size_t at = line.find("selvane ");
      if (at == std::string::npos || line.find(source.option, at) == std::string::npos) continue;
      ++commands;
      EXPECT_NE(line.find(source.strict), std::string::npos) << line;
    }
  }
  EXPECT_GE(commands, 10);
}

// The version is spelled in the code alone: the README and the manual page quote the line
// --version prints, and name no other version of selvane.
TEST(Documentation, VersionLineNamesTheProgramAndItsVersion) {
  const std::string line = std::string("selvane ") + kVersion;
  EXPECT_EQ(version_line(), line + "\n");
  for (const char* doc : {"README.md", "selvane.1"}) {
    SCOPED_TRACE(doc);
    const std::string text = read_file(source_dir() / doc);
    EXPECT_NE(text.find(line), std::string::npos);
    const std::string program = "selvane ";
    for (std::size_t at = text.find(program); at != std::string::npos;
         at = text.find(program, at + 1)) {
      const std::size_t next = at + program.size();
      if (next < text.size() && text[next] >= '0' && text[next] <= '9') {
        EXPECT_EQ(text.compare(at, line.size(), line), 0) << text.substr(at, line.size() + 4);
      }
    }
  }
}

}  // namespace
}  // namespace selvane
