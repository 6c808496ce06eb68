#include "support/harness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace selvane::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("selvane-test-" + std::to_string(rd()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const fs::path& path, const std::string& content) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

bool file_exists(const fs::path& path) {
  return fs::is_regular_file(path);
}

std::vector<std::string> list_files(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const fs::path& cwd, const std::string& input) {
  // Standard input and output go through files, so no pipe can fill up and block either side.
  TempDir io;
  const fs::path in_path = io / "stdin";
  const fs::path out_path = io / "stdout";
  write_file(in_path, input);

  std::vector<std::string> argv_text;
  argv_text.push_back(program);
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in_fd = open(in_path.c_str(), O_RDONLY);
    const int out_fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in_fd < 0 || out_fd < 0 || chdir(cwd.c_str()) != 0) _exit(127);
    dup2(in_fd, 0);
    dup2(out_fd, 1);
    dup2(out_fd, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.output = read_file(out_path);
  return result;
}

RunResult run_selvane(const std::vector<std::string>& args, const fs::path& cwd,
                      const std::string& input) {
  return run_program(SELVANE_BINARY, args, cwd, input);
}

fs::path source_dir() {
  return fs::path(SELVANE_SOURCE_DIR);
}
fs::path corpus_dir() {
  // The corpus sits beside the project's checkout; SELVANE_CORPUS_DIR in the environment
  // points elsewhere, and a checkout one level deeper (a work tree) finds it too.
  if (const char* env = std::getenv("SELVANE_CORPUS_DIR"); env != nullptr && *env != '\0') {
    return fs::path(env);
  }
  const fs::path beside(SELVANE_CORPUS_DIR);
  if (fs::is_directory(beside)) return beside;
  const fs::path nested = source_dir() / ".." / ".." / "shared" / "corpus";
  if (fs::is_directory(nested)) return nested;
  // Where the team's machines keep it, for clones made anywhere else.
  return fs::path("/work/shared/corpus");
}
bool corpus_available() {
  return fs::is_directory(corpus_dir());
}

}  // namespace selvane::testing
