// Only regular files are read, but for a FIFO given as the input (input_streams_test.cpp). A
// device or a directory given as the input, and a FIFO, a device or a directory as the first
// line of a paths file or as a listed alignment, is a file that cannot be opened: the run says
// exactly what it says for a missing file, at once, without reading or waiting on it, and names
// the file on standard error.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/safety_support.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::kFour;
using testing::run_program;
using testing::TempDir;
using testing::write_file;

enum class Kind { kMissing, kFifo, kDirectory, kZero };

// Lays out `name` as a file of the given kind (kMissing: nothing).
void lay_out(const fs::path& path, Kind kind) {
  switch (kind) {
    case Kind::kMissing:
      break;
    case Kind::kFifo:
      ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
      break;
    case Kind::kDirectory:
      fs::create_directory(path);
      break;
    case Kind::kZero:
      fs::create_symlink("/dev/zero", path);
      break;
  }
}

TEST(NonRegularInputs, AreFilesThatCannotBeOpened) {
  struct Place {
    const char* what;
    std::vector<std::string> args;
  };
  const std::vector<Place> places = {
      {"the input", {"odd", "-p=n"}},
      {"the first line of a paths file", {"first", "-p=n"}},
      {"an alignment listed later", {"later", "-p=n"}},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.what);
    testing::RunResult missing;
    for (const Kind kind : {Kind::kMissing, Kind::kFifo, Kind::kDirectory, Kind::kZero}) {
      SCOPED_TRACE(static_cast<int>(kind));
      if (kind == Kind::kFifo && place.args[0] == "odd") continue;  // read, once its writer comes
      TempDir dir;
      write_file(dir / "a.fas", kFour);
      write_file(dir / "first", "odd\na.fas\n");
      write_file(dir / "later", "a.fas\nodd\n");
      lay_out(dir / "odd", kind);
      std::vector<std::string> args = {"10", SELVANE_BINARY};
      args.insert(args.end(), place.args.begin(), place.args.end());
      // `timeout` only stops a run that would otherwise wait for ever on the FIFO.
      const auto result = run_program("timeout", args, dir.path());
      if (kind == Kind::kMissing) {
        missing = result;
        EXPECT_EQ(result.status, 1);
        continue;
      }
      EXPECT_EQ(result.status, missing.status);
      EXPECT_EQ(result.output, missing.output);
      // The first line of a paths file that names no regular file makes it an alignment, as
      // when that line names no file at all; elsewhere standard error tells what the file is.
      if (place.args[0] != "first") {
        EXPECT_NE(result.errors.find("odd\": it is a"), std::string::npos) << result.errors;
      }
    }
  }
}

}  // namespace
}  // namespace selvane
