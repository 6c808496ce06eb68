// What a package or `make install` delivers: the program and a manual page that renders cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/run_state.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::run_program;
using testing::source_dir;
using testing::TempDir;

TEST(ManualPage, RendersWithoutAnyGroffWarning) {
  if (testing::find_program({"groff"}).empty()) GTEST_SKIP() << "groff is not installed";
  // Warnings go to standard error, the rendered page is thrown away: nothing may be left.
  const auto run =
      run_program("sh", {"-c", "groff -ww -man -Tutf8 selvane.1 2>&1 >/dev/null"}, source_dir());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "");
}

TEST(ManualPage, NamesTheProgramsVersion) {
  const std::string page = read_file(source_dir() / "selvane.1");
  const std::string title = page.substr(0, page.find('\n'));
  EXPECT_EQ(title.rfind(".TH SELVANE 1 ", 0), 0u) << title;
  EXPECT_NE(title.find(std::string("\"selvane ") + kVersion + "\""), std::string::npos) << title;
}

TEST(Install, PutsTheProgramAndItsManualPageUnderThePrefix) {
  TempDir prefix;
  const auto install = run_program(
      SELVANE_CMAKE_COMMAND, {"--install", SELVANE_BUILD_DIR, "--prefix", prefix.path().string()},
      prefix.path());
  ASSERT_EQ(install.status, 0) << install.output << install.errors;

  const fs::path program = prefix / "bin/selvane";
  const auto version = run_program(program.string(), {"--version"}, prefix.path());
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "selvane " + std::string(kVersion) + "\n");

  const fs::path page = prefix / "share/man/man1/selvane.1";
  ASSERT_TRUE(testing::file_exists(page));
  EXPECT_EQ(read_file(page), read_file(source_dir() / "selvane.1"));

  if (testing::find_program({"man"}).empty()) GTEST_SKIP() << "man is not installed";
  // Standard output is a file, so man prints the page instead of starting a pager.
  const auto rendered = run_program("man", {"-l", page.string()}, prefix.path());
  EXPECT_EQ(rendered.status, 0) << rendered.errors;
  EXPECT_NE(rendered.output.find("SELVANE(1)"), std::string::npos) << rendered.output;
  EXPECT_NE(rendered.output.find("posix"), std::string::npos);
}

}  // namespace
}  // namespace selvane
