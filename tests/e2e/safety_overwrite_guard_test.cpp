// A run never writes over a file it reads, nor twice over one file: before the first output is
// written, every output is compared with every input and with every other output, by file
// identity. A collision ends the run with both paths named and every file left as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/fatal.h"
#include "core/run_state.h"
#include "driver/output_plan.h"
#include "e2e/safety_support.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::first_report;
using testing::kFour;
using testing::kOtherFour;
using testing::kTerminated;
using testing::run_selvane;
using testing::snapshot;
using testing::TempDir;
using testing::write_file;

std::string onto_input(const std::string& output, const std::string& input) {
  return "\nOutput file would overwrite an input file\nOutput file: " + output +
         "\nInput file:  " + input + "\n";
}

std::string onto_output(const std::string& first, const std::string& second) {
  return "\nTwo output files would be the same file\nOutput file: " + first +
         "\nOutput file: " + second + "\n";
}

TEST(OverwriteGuard, ACollisionStopsTheRunBeforeAnyFileIsWritten) {
  struct Collision {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::pair<std::string, std::string>> links;  // name -> target (symbolic)
    std::vector<std::string> args;
    std::string output;
  };
  const std::vector<Collision> collisions = {
      {"a listed alignment is the selected blocks of the one before it",
       {{"a.fas", kFour}, {"a.fas-sv", kOtherFour}, {"list", "a.fas\na.fas-sv\n"}},
       {},
       {"list", "-p=n"},
       first_report("a.fas") + onto_input("a.fas-sv", "a.fas-sv")},
      {"the paths file is named like the selected blocks of what it lists",
       {{"a.fas", kFour}, {"a.fas-sv", "a.fas\n"}},
       {},
       {"a.fas-sv", "-p=n"},
       first_report("a.fas") + onto_input("a.fas-sv", "a.fas-sv")},
      {"the concatenated inputs are named like a listed alignment",
       {{"g1.fas", kFour}, {"x.seq", kOtherFour}, {"x", "g1.fas\nx.seq\n"}},
       {},
       {"x", "-c=y", "-p=n"},
       first_report("g1.fas") + onto_input("x.seq", "x.seq")},
      {"the extension -- names the selected blocks like the ungapped alignment",
       {{"a.fas", kFour}},
       {},
       {"a.fas", "-e=--", "-u=y", "-p=n"},
       first_report("a.fas") + onto_output("a.fas--", "a.fas--")},
      {"an output name is a link to the input",
       {{"a.fas", kFour}},
       {{"a.fas-sv.txt", "a.fas"}},
       {"a.fas", "-p=t"},
       first_report("a.fas") + onto_input("a.fas-sv.txt", "a.fas")},
      {"an output in another folder is a link to an alignment listed later",
       {{"d/a.fas", kFour}, {"e/b.fas", kOtherFour}, {"list", "d/a.fas\ne/b.fas\n"}},
       {{"d/a.fas-sv", "../e/b.fas"}},
       {"list", "-p=n"},
       first_report("d/a.fas") + onto_input("d/a.fas-sv", "e/b.fas")},
      {"an output folder gathers two alignments of one name",
       {{"d/a.fas", kFour}, {"e/a.fas", kOtherFour}, {"list", "d/a.fas\ne/a.fas\n"}},
       {},
       {"list", "-p=n", "--outdir=out"},
       first_report("d/a.fas") + onto_output("out/a.fas-sv", "out/a.fas-sv")},
      {"a partition file is named like a listed alignment",
       {{"g1.fas", kFour},
        {"x-sv.seq.partitions", kOtherFour},
        {"x", "g1.fas\nx-sv.seq.partitions\n"}},
       {},
       {"x", "-a=y", "-p=n", "--partitions"},
       first_report("g1.fas") + onto_input("x-sv.seq.partitions", "x-sv.seq.partitions")},
      {"the summary, as typed and whatever --outdir says, is the input",
       {{"a.fas", kFour}},
       {},
       {"a.fas", "-p=n", "--outdir=out", "--summary=./a.fas"},
       first_report("a.fas") + onto_input("./a.fas", "a.fas")},
      {"a site table is named like a listed alignment",
       {{"a.fas", kFour}, {"a.fas-sv.sites.tsv", kOtherFour}, {"l", "a.fas\na.fas-sv.sites.tsv\n"}},
       {},
       {"l", "-p=n", "--site-table"},
       first_report("a.fas") + onto_input("a.fas-sv.sites.tsv", "a.fas-sv.sites.tsv")},
      {"the summary, written last, would find no folder",
       {{"a.fas", kFour}},
       {},
       {"a.fas", "-p=n", "--summary=none/s.tsv"},
       first_report("a.fas") + "\nFile not opened\n"},
  };
  for (const Collision& c : collisions) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    for (const auto& [name, content] : c.files) write_file(dir / name, content);
    for (const auto& [name, target] : c.links) fs::create_symlink(target, dir / name);
    const auto before = snapshot(dir.path());

    const auto result = run_selvane(c.args, dir.path());

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, c.output + kTerminated);
    EXPECT_NE(result.errors.find("no file was written"), std::string::npos) << result.errors;
    EXPECT_EQ(snapshot(dir.path()), before);
  }
}

TEST(OverwriteGuard, AHardLinkIsTheSameFile) {
  TempDir dir;
  write_file(dir / "a.fas", kFour);
  fs::create_hard_link(dir / "a.fas", dir / "a.fas-sv");
  const auto before = snapshot(dir.path());
  const auto result = run_selvane({"a.fas", "-p=n"}, dir.path());
  EXPECT_EQ(result.output, first_report("a.fas") + onto_input("a.fas-sv", "a.fas") + kTerminated);
  EXPECT_EQ(snapshot(dir.path()), before);
}

// Two entries naming one alignment write the same files with the same content; a batch may list
// an alignment twice, as it always could.
TEST(OverwriteGuard, AnAlignmentListedTwiceIsNoCollision) {
  TempDir dir;
  write_file(dir / "d/a.fas", kFour);
  write_file(dir / "list", "d/a.fas\n./d/../d/a.fas\n");
  const auto result = run_selvane({"list", "-p=n", "-a=y"}, dir.path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output.find("Output file"), std::string::npos) << result.output;
  EXPECT_TRUE(testing::file_exists(dir / "d/a.fas-sv"));
  EXPECT_TRUE(testing::file_exists(dir / "d/list-sv.seq"));
}

// Outputs of different alignments that land on one file (as an output folder would make them)
// are a collision; the same output of one alignment listed twice is not.
TEST(OverwriteGuard, OutputsOfTwoAlignmentsMayNotMeet) {
  TempDir dir;
  write_file(dir / "d1/a.fas", kFour);
  write_file(dir / "d2/a.fas", kOtherFour);
  const std::string d1 = (dir / "d1/a.fas").string();
  const std::string d2 = (dir / "d2/a.fas").string();
  const std::string shared = (dir / "out-sv").string();
  RunPlan plan;
  plan.paths_file = (dir / "list").string();
  plan.alignments = {d1, d2, d1};
  plan.outputs = {{shared, 0, 0}, {shared, 2, 0}};
  EXPECT_NO_THROW(guard_outputs(plan, OutputSwitches{}));
  plan.outputs.push_back({shared, 1, 0});
  EXPECT_THROW(guard_outputs(plan, OutputSwitches{}), FatalError);
}

// The check looks at the files the run writes: the plan names exactly those.
TEST(OverwriteGuard, ThePlanNamesEveryFileARunWrites) {
  // Every set has an option: without one the menus would start.
  const std::vector<std::vector<std::string>> option_sets = {
      {"-s=y"},
      {"-k=y", "-d=y", "-n=y", "-u=y", "-p=t"},
      {"-s=n", "-p=s", "-a=y", "-c=y", "-w=y"},
      {"-e=.x", "-p=n", "-u=y", "-w=y"},
      {"-p=n", "-a=y", "-c=y", "--svg", "--partitions"},
      {"-p=n", "-a=y", "-w=y", "--by-name", "--occupancy", "--site-table", "--summary=s.tsv"},
  };
  for (const auto& options : option_sets) {
    TempDir dir;
    write_file(dir / "d/a.fas", kFour);
    write_file(dir / "e/b.fas", kOtherFour);
    write_file(dir / "list", "d/a.fas\ne/b.fas\n");
    const auto before = snapshot(dir.path());
    std::vector<std::string> args = {"list"};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_EQ(run_selvane(args, dir.path()).status, 1);

    RunState st;
    st.input.tog_sb = true;
    st.input.filename = "list";
    for (const std::string& o : options) {
      if (o == "--svg") st.outputs.svg_overview = true;
      if (o == "--partitions") st.outputs.join.partitions = PartitionForm::kRaxml;
      if (o == "--by-name") st.outputs.join.by_name = true;
      if (o == "--occupancy") st.outputs.join.occupancy = true;
      if (o == "--site-table") st.outputs.site_table = true;
      if (o.starts_with("--summary=")) st.outputs.summary = o.substr(10);
      if (o.starts_with("--")) continue;
      const char letter = o[1];
      const bool yes = o.back() == 'y';
      if (letter == 'k') st.outputs.tog_maskfile = yes;
      if (letter == 'd') st.outputs.tog_psfile = yes;
      if (letter == 'n') st.outputs.tog_ncbfile = yes;
      if (letter == 'u') st.outputs.tog_ungappedfile = yes;
      if (letter == 's') st.outputs.tog_seqfile = yes;
      if (letter == 'a') st.outputs.tog_allfile = st.input.tog_sub = yes;
      if (letter == 'c') st.outputs.tog_allfile_init = st.input.tog_sub = yes;
      if (letter == 'w') st.outputs.tog_allungfile = st.input.tog_sub = yes;
      if (letter == 'e') st.outputs.exten = o.substr(3);
      if (letter == 'p') {
        st.outputs.tog_viewfile = o[3] == 'n'   ? ResultsForm::kNone
                                  : o[3] == 't' ? ResultsForm::kText
                                                : ResultsForm::kShort;
      }
    }
    std::set<std::string> planned;
    for (const PlannedOutput& o : plan_run(make_request(st), {"d/a.fas", "e/b.fas"}).outputs) {
      planned.insert(o.path);
    }
    std::set<std::string> written;
    for (const auto& [name, content] : snapshot(dir.path())) {
      if (!before.contains(name)) written.insert(name);
    }
    EXPECT_EQ(written, planned) << ::testing::PrintToString(options);
  }
}

}  // namespace
}  // namespace selvane
