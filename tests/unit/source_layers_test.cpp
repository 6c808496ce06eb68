// The sources form a stack of layers, and an include only ever points down it (or within its
// own layer), so a lower layer never needs a higher one to build or to be tested. Below the
// driver, code takes the settings it needs, never the run state. And every output file is
// created in one place, so what applies to all of them is decided once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/harness.h"

namespace selvane {
namespace {

const std::vector<std::string> kLayers = {"core",  "input",  "selection", "output",
                                          "batch", "driver", "menus",     "main.cpp"};

// Position of a path relative to src/ in the stack: its first directory, or the file itself.
int layer_of(const std::string& relative) {
  const std::string top = relative.substr(0, relative.find('/'));
  for (std::size_t i = 0; i < kLayers.size(); ++i) {
    if (kLayers[i] == top) return static_cast<int>(i);
  }
  return -1;
}

TEST(SourceLayers, EveryIncludePointsDownTheStack) {
  const std::filesystem::path src = testing::source_dir() / "src";
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const std::string file = entry.path().lexically_relative(src).generic_string();
    const int own = layer_of(file);
    ASSERT_GE(own, 0) << file << " lies in no layer";
    ++files;
    std::ifstream in(entry.path());
    std::string line;
    const bool below_driver = own < layer_of("driver") && !file.starts_with("core/run_state.");
    while (std::getline(in, line)) {
      if (below_driver) {
        for (const char* state : {"RunState", "CurrentInput", "MenuSession"}) {
          EXPECT_EQ(line.find(state), std::string::npos) << file << " sees the run state: " << line;
        }
      }
      // Its definition aside, Writer::create is called by create_output_file only.
      if (line.find("Writer::create(") != std::string::npos && file != "core/writer.cpp") {
        EXPECT_EQ(file, "core/output_file.cpp") << "creates a file itself: " << line;
      }
      if (line.rfind("#include \"", 0) != 0) continue;
      const std::string target = line.substr(10, line.find('"', 10) - 10);
      const int layer = layer_of(target);
      EXPECT_GE(layer, 0) << file << " includes " << target << ", which lies in no layer";
      EXPECT_LE(layer, own) << file << " includes " << target << " from a higher layer";
    }
  }
  EXPECT_GT(files, 20);
}

}  // namespace
}  // namespace selvane
