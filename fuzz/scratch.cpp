#include "scratch.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace selvane::fuzz {

namespace fs = std::filesystem;

namespace {

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_all(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

[[noreturn]] void finding(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

// The scratch folder, removed when the process ends normally (libFuzzer exits after its run; a
// crash leaves the folder as the finding found it).
std::string scratch;

void remove_scratch() {
  std::error_code ec;
  fs::remove_all(scratch, ec);
}

}  // namespace

void enter_scratch() {
  if (!scratch.empty()) return;
  std::string dir = (fs::temp_directory_path() / "selvane-fuzz-XXXXXX").string();
  if (::mkdtemp(dir.data()) == nullptr || ::chdir(dir.c_str()) != 0) finding("no scratch folder");
  scratch = dir;
  std::atexit(remove_scratch);
  reset_scratch();
}

void reset_scratch() {
  for (const auto& entry : fs::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    const bool input = std::any_of(kInputs.begin(), kInputs.end(),
                                   [&](const auto& in) { return in.first == name; });
    if (!input) fs::remove_all(entry.path());
  }
  for (const auto& [name, content] : kInputs) {
    if (!fs::is_regular_file(name) || read_all(name) != content) write_all(name, content);
  }
}

void check_scratch(const std::vector<std::string>& allowed, bool exact) {
  for (const auto& [name, content] : kInputs) {
    if (!fs::is_regular_file(fs::symlink_status(name)) || read_all(name) != content) {
      finding("input " + name + " changed");
    }
  }
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    const auto is = [&](const std::string& other) { return other == name; };
    const auto begins = [&](const auto& in) { return name.rfind(in.first, 0) == 0; };
    if (std::any_of(kInputs.begin(), kInputs.end(), [&](const auto& in) { return is(in.first); }))
      continue;
    if (exact && entry.is_directory(ec) && !entry.is_symlink(ec)) {
      // An output folder (--outdir): it may hold only outputs of the run.
      for (const auto& inner : fs::recursive_directory_iterator(entry.path())) {
        if (inner.is_directory(ec)) continue;
        const std::string path = inner.path().lexically_relative(".").generic_string();
        if (std::none_of(allowed.begin(), allowed.end(), [&](const std::string& a) {
              return fs::path(a).lexically_normal().generic_string() == path;
            })) {
          finding("unexpected file " + path);
        }
      }
      continue;
    }
    const bool ok = exact ? std::any_of(allowed.begin(), allowed.end(), is)
                          : std::any_of(kInputs.begin(), kInputs.end(), begins);
    if (!ok) finding("unexpected file " + name);
  }
}

std::string without_slashes(const unsigned char* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::replace(text.begin(), text.end(), '/', '_');
  return text;
}

}  // namespace selvane::fuzz
