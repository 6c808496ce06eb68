#include "support/expected.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

#include "core/run_state.h"
#include "support/harness.h"

namespace selvane::testing {

namespace fs = std::filesystem;

namespace {

std::string replace_all(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
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

}  // namespace

bool redo_outputs() {
  const char* env = std::getenv("SELVANE_REDO_OUTPUTS");
  return env != nullptr && *env != '\0' && std::string(env) != "0";
}

std::string read_expected(const fs::path& path) {
  return replace_all(read_file(path), kVersionMark, kVersion);
}

void write_expected(const fs::path& path, const std::string& actual) {
  write_file(path, replace_all(actual, kVersion, kVersionMark));
}

void expect_as_in_file(const std::string& actual, const fs::path& path) {
  if (redo_outputs()) {
    write_expected(path, actual);
  } else {
    EXPECT_EQ(actual, read_expected(path)) << "in " << path.generic_string();
  }
}

fs::path case_dir(const std::string& name) {
  return source_dir() / "tests" / "cases" / name;
}

std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(case_dir(""))) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void check_case(const std::string& name, const InputRewrite& rewrite) {
  const fs::path dir = case_dir(name);
  TempDir work;
  auto inputs = files_under(dir / "input");
  bool rewritten = false;
  for (auto& [file, content] : inputs) {
    if (rewrite) {
      std::string changed = rewrite(content);
      rewritten = rewritten || changed != content;
      content = std::move(changed);
    }
    write_file(work / file, content);
  }
  // A variant that leaves the inputs as they are would check nothing new.
  if (rewrite && !rewritten) ADD_FAILURE() << "the rewrite changes no input of " << name;
  const std::string stdin_text = fs::exists(dir / "stdin") ? read_file(dir / "stdin") : "";

  const auto result = run_selvane(arguments(read_file(dir / "cmd")), work.path(), stdin_text);

  // What the run created or changed; an input it removed is a fault in any mode.
  std::map<std::string, std::string> written;
  const auto after = files_under(work.path());
  for (const auto& [file, content] : after) {
    const auto input = inputs.find(file);
    if (input == inputs.end() || input->second != content) written[file] = content;
  }
  for (const auto& [file, content] : inputs) {
    if (after.count(file) == 0) ADD_FAILURE() << "input removed by the run: " << file;
  }

  if (redo_outputs() && !rewrite) {
    write_file(dir / "status", std::to_string(result.status) + "\n");
    write_expected(dir / "stdout", result.output);
    if (fs::exists(dir / "stderr")) write_expected(dir / "stderr", result.errors);
    fs::remove_all(dir / "expected");
    for (const auto& [file, content] : written) write_expected(dir / "expected" / file, content);
    return;
  }

  EXPECT_EQ(result.status, std::stoi(read_file(dir / "status")));
  EXPECT_EQ(result.output, read_expected(dir / "stdout"));
  if (fs::exists(dir / "stderr")) {
    EXPECT_EQ(result.errors, read_expected(dir / "stderr"));
  }
  const auto expected = files_under(dir / "expected");
  for (const auto& [file, content] : expected) {
    const auto got = written.find(file);
    if (got == written.end()) {
      ADD_FAILURE() << "not written: " << file;
    } else {
      EXPECT_EQ(got->second, replace_all(content, kVersionMark, kVersion)) << "in " << file;
    }
  }
  for (const auto& [file, content] : written) {
    if (expected.count(file) == 0) ADD_FAILURE() << "unexpected file: " << file;
  }
}

}  // namespace selvane::testing
