// Expected files, the one way tests compare what the program writes with what it must write:
// the end-to-end case folders of tests/cases (see its README) and the writers' files of
// tests/golden/writers. With SELVANE_REDO_OUTPUTS=1 (`make redo-cases`) the tests rewrite them
// from what the program does now instead of comparing.
//
// Expected files spell the program's version as kVersionMark, so that a new version changes
// none of them: the mark is replaced by the version before comparing, and the version by the
// mark when an expected file is rewritten.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace selvane::testing {

inline constexpr std::string_view kVersionMark = "@VERSION@";

bool redo_outputs();

// The text of an expected file, its version mark replaced by the version.
std::string read_expected(const std::filesystem::path& path);
// Writes `actual` as an expected file, the version replaced by its mark.
void write_expected(const std::filesystem::path& path, const std::string& actual);
// Checks `actual` against the expected file at `path`; when redoing, rewrites the file instead.
void expect_as_in_file(const std::string& actual, const std::filesystem::path& path);

// The folders of tests/cases, by name, sorted.
std::filesystem::path case_dir(const std::string& name);
std::vector<std::string> case_names();

// Runs the case folder `name` and checks all it expects, or rewrites its expected files when
// redoing. A `rewrite` changes the text of every input first, for a variant of the case whose
// outputs must stay the same; such a run only compares, it never rewrites.
using InputRewrite = std::function<std::string(const std::string&)>;
void check_case(const std::string& name, const InputRewrite& rewrite = nullptr);

}  // namespace selvane::testing
