#include "support/harness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
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
  const fs::path err_path = io / "stderr";
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
    const int err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0 || chdir(cwd.c_str()) != 0) _exit(127);
    dup2(in_fd, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.output = read_file(out_path);
  result.errors = read_file(err_path);
  return result;
}

std::string find_program(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (run_program("sh", {"-c", std::string("command -v ") + name}, fs::current_path()).status ==
        0) {
      return name;
    }
  }
  return "";
}

RunResult run_selvane(const std::vector<std::string>& args, const fs::path& cwd,
                      const std::string& input) {
  RunResult result = run_program(SELVANE_BINARY, args, cwd, input);
  if (result.errors.find("Sanitizer") != std::string::npos ||
      result.errors.find("runtime error:") != std::string::npos) {
    ADD_FAILURE() << "selvane reported on standard error:\n" << result.errors;
  }
  return result;
}

fs::path source_dir() {
  return fs::path(SELVANE_SOURCE_DIR);
}
fs::path corpus_dir() {
  if (const char* env = std::getenv("SELVANE_CORPUS_DIR"); env != nullptr && *env != '\0') {
    return fs::path(env);
  }
  const fs::path beside = source_dir() / ".." / "shared" / "corpus";
  if (fs::is_directory(beside)) return beside;
  return source_dir() / ".." / ".." / "shared" / "corpus";
}
bool corpus_available() {
  return fs::is_directory(corpus_dir());
}
fs::path corpus_file(const std::string& name) {
  std::error_code ec;
  if (const fs::path direct = corpus_dir() / name; fs::is_regular_file(direct, ec)) return direct;
  for (fs::recursive_directory_iterator it(corpus_dir(), ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->path().filename() == name && it->is_regular_file(ec)) return it->path();
  }
  return {};
}

}  // namespace selvane::testing
