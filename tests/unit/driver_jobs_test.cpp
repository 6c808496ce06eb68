// The seams of a run: a job processed on its own, and a batch that keeps every alignment's
// results and leaves only the last one's counts and b1 and b2 to the menus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/run_state.h"
#include "driver/alignment_run.h"
#include "driver/run.h"
#include "support/capture.h"
#include "support/harness.h"
#include "writers_fixtures.h"

namespace selvane {
namespace {

using testing::TempDir;
using testing::write_file;

TEST(Jobs, ProcessGivesTheResultsOfAHandMadeJobFromItsArgumentsAlone) {
  TempDir dir;
  const Alignment aln = testing::make_alignment(
      {"a", "b", "c", "d"}, {"MKVLAAGLLAPQ", "MKVLAAGLLAPQ", "MKVLAAGLLA-Q", "MKVLAAGLLAPE"});
  Request request;
  request.params.seq_type = SeqType::kProtein;
  request.params.tog_gaps = GapPolicy::kWithHalf;
  request.fileformat = InputFormat::kFasta;
  request.outputs.tog_viewfile = ResultsForm::kNone;
  request.outputs.tog_ungappedfile = true;
  // Not the request's b1 and b2: a job is processed with its own.
  Job job{(dir / "x.fas").string(), 7, 2, request.params};
  apply_sequence_count_defaults(job.params, aln.numseq);

  testing::Capture printed;
  const ProcessedAlignment p = process(request, job, aln, printed.out());
  const AlignmentResults& r = p.results;
  EXPECT_EQ(r.job.fichero1, job.fichero1);
  EXPECT_EQ(r.job.line, 7);
  EXPECT_EQ(r.job.index, 2);
  EXPECT_EQ(r.job.params.negval, 3);
  EXPECT_EQ(r.numseq, 4);
  EXPECT_EQ(r.nupo, 12);
  EXPECT_EQ(r.nupoung, 11);
  EXPECT_EQ(p.newlet.width(), 11);
  EXPECT_EQ(r.blocks.nupo3(), 12);
  EXPECT_EQ(p.cls.val.size(), 13u);
  const std::vector<std::pair<OutputFile, std::string>> files = {
      {OutputFile::kSelectedBlocks, job.fichero1 + "-sv"},
      {OutputFile::kUngapped, job.fichero1 + "--"}};
  EXPECT_EQ(r.files, files);
  for (const auto& [kind, name] : files) EXPECT_TRUE(testing::file_exists(name)) << name;
  EXPECT_EQ(printed.text(), job.fichero1 +
                                "\nOriginal alignment: 12 positions\nUngapped alignment: 11 "
                                "positions\nSelvane alignment:  12 positions (100 %) in 1 "
                                "selected block(s)\n\n");
}

TEST(Jobs, ABatchKeepsEveryAlignmentsResultsAndLeavesTheLastOnesToTheMenus) {
  TempDir dir;
  const std::string four =
      ">s1\nMKVLAAGLLAPQ\n>s2\nMKVLAAGLLAPQ\n>s3\nMKVLAAGLLAPQ\n>s4\nMKVLAAGLLAPE\n";
  std::string six;
  for (int s = 1; s <= 6; ++s) six += ">u" + std::to_string(s) + "\nMKVLAAGLLAPQ\n";
  write_file(dir / "a/x.fas", four);
  write_file(dir / "b/y.fas", six);
  write_file(dir / "paths",
             (dir / "a/x.fas").string() + "\n\n" + (dir / "b/y.fas").string() + "\n");
  RunState st;
  st.input.filename = (dir / "paths").string();
  st.outputs.tog_viewfile = ResultsForm::kNone;
  testing::Capture printed;
  ASSERT_TRUE(open_input(st, printed.out()).has_value());
  const Request request = make_request(st);

  const RunResults results = run(request, printed.out(), std::nullopt);
  ASSERT_EQ(results.alignments.size(), 2u);
  struct Expected {
    const char* path;
    std::int64_t line;
    std::int32_t numseq, negval, flankval;
  };
  // b1 and b2 follow each alignment: 4 / 2 + 1 and 4 * 85 / 100, then 4 and 5 for six.
  const Expected expected[] = {{"a/x.fas", 1, 4, 3, 3}, {"b/y.fas", 3, 6, 4, 5}};
  for (std::size_t a = 0; a < 2; ++a) {
    const AlignmentResults& r = results.alignments[a];
    const Expected& e = expected[a];
    EXPECT_EQ(r.job.fichero1, (dir / e.path).string());
    EXPECT_EQ(r.job.line, e.line);
    EXPECT_EQ(r.job.index, static_cast<std::int32_t>(a));
    EXPECT_EQ(r.numseq, e.numseq);
    EXPECT_EQ(r.job.params.negval, e.negval);
    EXPECT_EQ(r.job.params.flankval, e.flankval);
    EXPECT_EQ(r.files.size(), 1u);
  }
  // The run worked on its request alone; the menus get the last alignment's counts and b1, b2.
  EXPECT_EQ(st.input.numseq, 4);
  EXPECT_EQ(st.params.negval, 3);
  leave_for_menus(st, results);
  EXPECT_EQ(st.input.numseq, 6);
  EXPECT_EQ(st.params.negval, 4);
  EXPECT_EQ(st.params.flankval, 5);
  EXPECT_EQ(st.params.initnegval, 4);
}

// Which switches a run would not use, by what the request asks of which input.
TEST(Jobs, SwitchesThatWouldDoNothingAreNamedWithTheReason) {
  const std::string single = "the input is one alignment, not a paths file";
  const std::string no_concatenation = "no concatenation is written (-a=y, -c=y or -w=y)";
  const struct {
    const char* what;
    bool batch;
    void (*set)(Request&);
    std::vector<std::string> idle;  // "ARGUMENT: REASON"
  } cases[] = {
      {"nothing asked", false, [](Request&) {}, {}},
      {"a batch's switches on one alignment",
       false,
       [](Request& r) {
         r.outputs.tog_allfile = true;  // a classic option: silent
         r.outputs.join.by_name = true;
         r.outputs.join.partitions = PartitionForm::kRaxml;
         r.outputs.join.occupancy = true;
         r.outputs.site_table = true;  // the tables of any run: never idle
         r.outputs.summary = "s.tsv";
       },
       {"--by-name: " + single, "--partitions: " + single, "--occupancy: " + single}},
      {"a batch without a concatenation",
       true,
       [](Request& r) {
         r.outputs.join.taxon_sep = "@";
         r.outputs.join.min_genes = 2;
       },
       {"--taxon-sep=@: " + no_concatenation, "--min-genes=2: " + no_concatenation}},
      {"joined by position",
       true,
       [](Request& r) {
         r.tog_sub = r.outputs.tog_allfile_init = true;
         r.outputs.join.taxon_regex = "^(\\w+)";
         r.outputs.join.partitions = PartitionForm::kRaxml;
         r.outputs.join.min_taxa = 4;
         r.outputs.join.occupancy = true;
       },
       {"--min-taxa=4: the concatenations join by position (--by-name joins by taxon)",
        "--occupancy: the concatenations join by position (--by-name joins by taxon)"}},
      {"joined by taxon",
       true,
       [](Request& r) {
         r.tog_sub = r.outputs.tog_allfile = r.outputs.join.by_name = true;
         r.outputs.join.min_taxa = 4;
         r.outputs.join.occupancy = true;
         r.outputs.tog_seqfile = false;
         r.outputs.out_format = OutputFormat::kPhylip;
       },
       {}},
      {"no file of the kind",
       false,
       [](Request& r) {
         r.outputs.tog_seqfile = false;
         r.outputs.tog_viewfile = ResultsForm::kNone;
         r.outputs.out_format = OutputFormat::kFasta;
         r.outputs.outdir = "out";
       },
       {"--outdir=out: the run writes no file",
        "--out-format=fasta: the run writes no alignment file (-s=y, -n=y, -u=y or a "
        "concatenation)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Request request;
    request.tog_sb = c.batch;
    c.set(request);
    std::vector<std::string> idle;
    for (const IdleSwitch& s : idle_switches(request)) idle.push_back(s.argument + ": " + s.reason);
    EXPECT_EQ(idle, c.idle);
  }
}

}  // namespace
}  // namespace selvane
