// Helpers shared by the tests: temporary directories, files, and runs of the built binary.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace selvane::testing {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& content);
bool file_exists(const std::filesystem::path& path);
// Names of the regular files in a directory, sorted.
std::vector<std::string> list_files(const std::filesystem::path& dir);

struct RunResult {
  int status = -1;     // exit status, or -1 when the process did not exit normally
  std::string output;  // everything written to standard output
  std::string errors;  // everything written to standard error
};

// Runs the selvane binary with `args` in directory `cwd`, feeding `input` on standard input
// (an empty input is a closed standard input). A sanitizer report on standard error fails the
// calling test: a sanitized binary may still exit with the status a test expects.
RunResult run_selvane(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                      const std::string& input = "");

// Runs any program the same way (for tools that read what selvane writes).
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& cwd, const std::string& input = "");

// The first of `names` found on the search path, or an empty text (tests of other programs
// skip then).
std::string find_program(std::initializer_list<const char*> names);

// The project's source tree (for tests/cases, tests/golden and examples) and the shared corpus of
// real alignments, which may be absent: tests that use it skip then. The corpus is
// SELVANE_CORPUS_DIR when set, else shared/corpus beside the checkout or beside the folder that
// holds it (a work tree one level deeper).
std::filesystem::path source_dir();
std::filesystem::path corpus_dir();
bool corpus_available();
// A file of the corpus: `name` is its path in the corpus, or its name alone when no other file
// has it, found in whichever folder holds it (empty when there is none).
std::filesystem::path corpus_file(const std::string& name);

}  // namespace selvane::testing
