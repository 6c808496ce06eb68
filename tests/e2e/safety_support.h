// What the tests of the safety faults share: small alignments, and a snapshot of a folder to
// tell that a run left every file as it was.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "support/harness.h"

namespace selvane::testing {

// Four sequences, every column conserved: one block of all 12 positions.
inline const char kFour[] =
    ">s1\nMKVLAAGLLAPQ\n>s2\nMKVLAAGLLAPQ\n>s3\nMKVLAAGLLAPQ\n>s4\nMKVLAAGLLAPE\n";
// Four other sequences, a second alignment for batches.
inline const char kOtherFour[] =
    ">s1\nWWKVLAAGLLAP\n>s2\nWWKVLAAGLLAP\n>s3\nWWKVLAAGLLAP\n>s4\nWWKVLAAGLLAP\n";

inline std::string first_report(const std::string& path) {
  return "\n4 sequences and 12 positions in the first alignment file:\n" + path + "\n\n";
}

inline const char kTerminated[] = "\nExecution terminated\n";

// Every entry under `dir` (hidden ones and subfolders included): a file's content, a link's
// target, or "<dir>" for a folder.
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = entry.path().lexically_relative(dir).generic_string();
    if (entry.is_symlink()) {
      entries[name] = "-> " + fs::read_symlink(entry.path()).generic_string();
    } else if (entry.is_directory()) {
      entries[name] = "<dir>";
    } else if (!entry.is_regular_file()) {
      entries[name] = "<special>";  // a FIFO is never read: that would wait for a writer
    } else {
      entries[name] = read_file(entry.path());
    }
  }
  return entries;
}

}  // namespace selvane::testing
