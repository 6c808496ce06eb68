// End-to-end cases kept as data: one folder per case under tests/cases (its README gives the
// format). Each runs the binary in a fresh directory holding the case's inputs and compares the
// exit status, standard output, standard error when the case holds it, and every file the run
// created or changed. With SELVANE_REDO_OUTPUTS=1 the expected files are rewritten instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::write_file;

const fs::path kCases = testing::source_dir() / "tests" / "cases";

std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCases)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool redo_outputs() {
  const char* env = std::getenv("SELVANE_REDO_OUTPUTS");
  return env != nullptr && *env != '\0' && std::string(env) != "0";
}

// Every regular file under `root` (none when it does not exist), by its path relative to it.
std::map<std::string, std::string> files_under(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::is_directory(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).generic_string()] = read_file(entry.path());
    }
  }
  return files;
}

// One argument per line, taken as it stands: no quoting, no blanks trimmed.
std::vector<std::string> arguments(const std::string& text) {
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    args.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

class Cases : public ::testing::TestWithParam<std::string> {};

TEST_P(Cases, Run) {
  const fs::path dir = kCases / GetParam();
  testing::TempDir work;
  const auto inputs = files_under(dir / "input");
  for (const auto& [name, content] : inputs) write_file(work / name, content);
  const std::string stdin_text = fs::exists(dir / "stdin") ? read_file(dir / "stdin") : "";

  const auto result =
      testing::run_selvane(arguments(read_file(dir / "cmd")), work.path(), stdin_text);

  // What the run created or changed; an input it removed is a fault in any mode.
  std::map<std::string, std::string> written;
  const auto after = files_under(work.path());
  for (const auto& [name, content] : after) {
    const auto input = inputs.find(name);
    if (input == inputs.end() || input->second != content) written[name] = content;
  }
  for (const auto& [name, content] : inputs) {
    if (after.count(name) == 0) ADD_FAILURE() << "input removed by the run: " << name;
  }

  if (redo_outputs()) {
    write_file(dir / "status", std::to_string(result.status) + "\n");
    write_file(dir / "stdout", result.output);
    if (fs::exists(dir / "stderr")) write_file(dir / "stderr", result.errors);
    fs::remove_all(dir / "expected");
    for (const auto& [name, content] : written) write_file(dir / "expected" / name, content);
    return;
  }

  EXPECT_EQ(result.status, std::stoi(read_file(dir / "status")));
  EXPECT_EQ(result.output, read_file(dir / "stdout"));
  if (fs::exists(dir / "stderr")) {
    EXPECT_EQ(result.errors, read_file(dir / "stderr"));
  }
  const auto expected = files_under(dir / "expected");
  for (const auto& [name, content] : expected) {
    const auto got = written.find(name);
    if (got == written.end()) {
      ADD_FAILURE() << "not written: " << name;
    } else {
      EXPECT_EQ(got->second, content) << "in " << name;
    }
  }
  for (const auto& [name, content] : written) {
    if (expected.count(name) == 0) ADD_FAILURE() << "unexpected file: " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Folders, Cases, ::testing::ValuesIn(case_names()),
                         [](const ::testing::TestParamInfo<std::string>& case_info) {
                           return case_info.param;
                         });

}  // namespace
}  // namespace selvane
