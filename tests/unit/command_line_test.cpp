// The option arguments: from argument strings to the run state and the warnings printed.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/run_state.h"
#include "support/capture.h"

namespace selvane {
namespace {

// A run state as it stands after a 10-sequence alignment was loaded.
RunState with_ten_sequences() {
  RunState st;
  st.input.numseq = 10;
  apply_sequence_count_defaults(st.params, 10);
  return st;
}

std::string parse(RunState& st, const std::vector<std::string_view>& args) {
  testing::Capture capture;
  parse_options(st, args, capture.out());
  return capture.text();
}

const char kB1[] = "\nWARNING: Parameter -b1 not properly entered.\n";
const char kB1Low[] =
    "The minimum number of sequences for a conserved position must be bigger than or equal to 6 "
    "(half the number of sequences + 1)\n";
const char kB1High[] =
    "The minimum number of sequences for a conserved position must be lower than or equal to the "
    "minimum number of sequences for a flank position\n";
const char kB2[] = "\nWARNING: Parameter -b2 not properly entered.\n";
const char kB2High[] =
    "The minimum number of sequences for a flank position must be lower than or equal to 10 (the "
    "number of sequences)\n";
const char kB2Low[] =
    "The minimum number of sequences for a flank position must be bigger than or equal to the "
    "minimum number of sequences for a conserved position\n";
const char kB2Zero[] =
    "\nWARNING: minimum number of sequences for a flank position set to the minimum possible "
    "value.\n";
const char kLength[] = "The minimum length of a block must be 2 or bigger\n";

std::string yes_no_warning(char option) {
  return std::string("\nWARNING: Parameter -") + option +
         " not properly entered. It has to be Y (Yes) or N (No)\n";
}

TEST(CommandLine, SequenceCountOptionsDependOnEachOtherAndTheirOrder) {
  struct Case {
    std::vector<std::string_view> args;
    std::int32_t negval, flankval, tog_sub;
    std::string printed;
  };
  const std::vector<Case> cases = {
      {{"-b1=7"}, 7, 8, 1, ""},
      {{"-b1=3"}, 6, 8, 0, std::string(kB1) + kB1Low},
      {{"-b1=9"}, 6, 8, 0, std::string(kB1) + kB1High},
      // b1 is tested against the b2 in force, so the order matters.
      {{"-b1=9", "-b2=10"}, 6, 10, 1, std::string(kB1) + kB1High},
      {{"-b2=10", "-b1=9"}, 9, 10, 1, ""},
      {{"-b2=6"}, 6, 6, 1, ""},
      {{"-b2=0"}, 6, 6, 0, kB2Zero},
      {{"-b1=7", "-b2=0"}, 7, 7, 1, kB2Zero},
      {{"-b2=11"}, 6, 8, 0, std::string(kB2) + kB2High},
      {{"-b2=5"}, 6, 8, 0, std::string(kB2) + kB2Low},
      {{"-b2=abc"}, 6, 6, 0, kB2Zero},
      // Beyond the 32-bit range: refused like any other value out of range.
      {{"-b1=99999999999"}, 6, 8, 0, std::string(kB1) + kB1High},
      {{"-b1=-99999999999"}, 6, 8, 0, std::string(kB1) + kB1Low},
      {{"-b2=4294967306"}, 6, 8, 0, std::string(kB2) + kB2High},
  };
  for (const auto& c : cases) {
    RunState st = with_ten_sequences();
    EXPECT_EQ(parse(st, c.args), c.printed) << c.args[0];
    EXPECT_EQ(st.params.negval, c.negval) << c.args[0];
    EXPECT_EQ(st.params.flankval, c.flankval) << c.args[0];
    EXPECT_EQ(st.input.tog_sub, c.tog_sub) << c.args[0];
    EXPECT_EQ(st.params.initnegval, 6);
  }
}

TEST(CommandLine, BlockLengthsAndB0FollowingB4) {
  struct Case {
    std::vector<std::string_view> args;
    std::int32_t negblen, posblen, posblen2;
    std::string printed;
  };
  const std::string b0 = "\nWARNING: Parameter -b0 not properly entered.\n";
  const std::string b3 = "\nWARNING: Parameter -b3 not properly entered.\n";
  const std::string b4 = "\nWARNING: Parameter -b4 not properly entered.\n";
  const std::vector<Case> cases = {
      {{"-b4=15"}, 8, 15, 15, ""},
      {{"-b0=12", "-b4=15"}, 8, 12, 15, ""},
      {{"-b4=15", "-b0=12"}, 8, 12, 15, ""},
      {{"-b4=15", "-b0=12", "-b4=20"}, 8, 12, 20, ""},
      // A refused b0 does not stop b4 from setting it.
      {{"-b0=1", "-b4=15"}, 8, 15, 15, b0 + kLength},
      {{"-b0=abc"}, 8, 10, 10, b0 + kLength},
      {{"-b0=32001"}, 8, 10, 10, b0},
      {{"-b4=1"}, 8, 10, 10, b4 + kLength},
      {{"-b4=2"}, 8, 2, 2, ""},
      {{"-b4=32000"}, 8, 32000, 32000, ""},
      {{"-b4=99999999999"}, 8, 10, 10, b4},
      {{"-b3="}, 0, 10, 10, ""},
      {{"-b3=abc"}, 0, 10, 10, ""},
      {{"-b3= +12xyz"}, 12, 10, 10, ""},
      {{"-b3=32000"}, 32000, 10, 10, ""},
      {{"-b3=32001"}, 8, 10, 10, b3},
      {{"-b3=-1"}, 8, 10, 10, b3},
  };
  for (const auto& c : cases) {
    RunState st = with_ten_sequences();
    EXPECT_EQ(parse(st, c.args), c.printed) << c.args[0];
    EXPECT_EQ(st.params.negblen, c.negblen) << c.args[0];
    EXPECT_EQ(st.params.posblen, c.posblen) << c.args[0];
    EXPECT_EQ(st.params.posblen2, c.posblen2) << c.args[0];
  }
}

TEST(CommandLine, LetterOptionsTakeTheirFirstCharacterInAnyCase) {
  RunState st = with_ten_sequences();
  EXPECT_EQ(parse(st, {"-B5=H", "-P=t", "-E=xy", "-b6=no", "-s=n", "-k=yes", "-d=Y", "-n=y", "-u=Y",
                       "-t=d"}),
            "");
  EXPECT_EQ(st.params.tog_gaps, GapPolicy::kWithHalf);
  EXPECT_EQ(st.outputs.tog_viewfile, ResultsForm::kText);
  EXPECT_EQ(st.outputs.exten, "xy");
  EXPECT_EQ(st.params.tog_sim, 0);
  EXPECT_EQ(st.outputs.tog_seqfile, 0);
  EXPECT_EQ(st.outputs.tog_maskfile, 1);
  EXPECT_EQ(st.outputs.tog_psfile, 1);
  EXPECT_EQ(st.outputs.tog_ncbfile, 1);
  EXPECT_EQ(st.outputs.tog_ungappedfile, 1);
  EXPECT_EQ(static_cast<char>(st.params.seq_type), 'D');

  RunState again = with_ten_sequences();
  EXPECT_EQ(parse(again, {"-p=text", "-p=S", "-b5=a", "-t=C", "-t=P"}), "");
  EXPECT_EQ(again.outputs.tog_viewfile, ResultsForm::kShort);
  EXPECT_EQ(again.params.tog_gaps, GapPolicy::kAll);
  EXPECT_EQ(static_cast<char>(again.params.seq_type), 'P');
}

TEST(CommandLine, RefusedValuesWarnAndKeepTheSetting) {
  struct Case {
    std::string_view arg;
    std::string printed;
  };
  const std::vector<Case> cases = {
      {"-t=X",
       "\nWARNING: Parameter -t not properly entered. It has to be P (Proteins), C (Codons) or D "
       "(DNA)\n"},
      {"-b5=x",
       "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With Half) or A "
       "(All)\n"},
      {"-b5=",
       "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With "
       "Half) or A (All)\n"},
      {"-b6=maybe",
       "\nWARNING: Parameter -b6 not properly entered. It has to be Y (Yes) or N (No)\n"},
      {"-e=abcdef",
       "\nWARNING: Parameter -e not properly entered.\nThe string has to have 5 characters "
       "maximum\n"},
      {"-e=",
       "\nWARNING: Parameter -e not properly entered.\nThe string has to have 5 characters "
       "maximum\n"},
      {"-s=", yes_no_warning('s')},
      {"-p=",
       "\nWARNING: Parameter -p not properly entered. It has to be Y (Yes, HTML), N (No), T "
       "(Text) or S (Short)\n"},
      {"-k=x", yes_no_warning('k')},
      {"-d=x", yes_no_warning('d')},
      {"-n=x", yes_no_warning('n')},
      {"-u=x", yes_no_warning('u')},
      {"-a=x", yes_no_warning('a')},
      {"-c=x", yes_no_warning('c')},
      {"-w=x", yes_no_warning('w')},
      {"-v=49", "\nWARNING: Parameter -v not properly entered. It must be between 50 and 32000\n"},
      {"-v=32001",
       "\nWARNING: Parameter -v not properly entered. It must be between 50 and 32000\n"},
      {"-v=4294967346",
       "\nWARNING: Parameter -v not properly entered. It must be between 50 and 32000\n"},
  };
  for (const auto& c : cases) {
    RunState st = with_ten_sequences();
    const RunState before = st;
    EXPECT_EQ(parse(st, {c.arg}), c.printed) << c.arg;
    EXPECT_EQ(st.params.seq_type, before.params.seq_type) << c.arg;
    EXPECT_EQ(st.params.tog_gaps, before.params.tog_gaps) << c.arg;
    EXPECT_EQ(st.params.tog_sim, before.params.tog_sim) << c.arg;
    EXPECT_EQ(st.outputs.exten, before.outputs.exten) << c.arg;
    EXPECT_EQ(st.outputs.tog_viewfile, before.outputs.tog_viewfile) << c.arg;
    EXPECT_EQ(st.outputs.tog_seqfile, before.outputs.tog_seqfile) << c.arg;
    EXPECT_EQ(st.outputs.breakcount, before.outputs.breakcount) << c.arg;
    EXPECT_EQ(st.input.tog_sub, 0) << c.arg;
  }
}

TEST(CommandLine, AcceptedLimitsAndExtensions) {
  RunState st = with_ten_sequences();
  EXPECT_EQ(parse(st, {"-v=50"}), "");
  EXPECT_EQ(st.outputs.breakcount, 50);
  EXPECT_EQ(parse(st, {"-v=32000"}), "");
  EXPECT_EQ(st.outputs.breakcount, 32000);
  EXPECT_EQ(parse(st, {"-e=.x"}), "");
  EXPECT_EQ(st.outputs.exten, ".x");
  EXPECT_EQ(parse(st, {"-e=abcde"}), "");
  EXPECT_EQ(st.outputs.exten, "abcde");
}

TEST(CommandLine, ConcatenationSwitchesFixTheSequenceCounts) {
  RunState st = with_ten_sequences();
  EXPECT_EQ(parse(st, {"-a=N", "-c=n"}), "");
  EXPECT_EQ(st.input.tog_sub, 0);
  EXPECT_EQ(parse(st, {"-w=Y"}), "");
  EXPECT_EQ(st.outputs.tog_allungfile, 1);
  EXPECT_EQ(st.input.tog_sub, 1);
  EXPECT_EQ(parse(st, {"-w=N", "-a=yes", "-c=Y"}), "");
  EXPECT_EQ(st.outputs.tog_allungfile, 0);
  EXPECT_EQ(st.outputs.tog_allfile, 1);
  EXPECT_EQ(st.outputs.tog_allfile_init, 1);
  EXPECT_EQ(st.input.tog_sub, 1);
}

// The joining options are kept as typed (their values are checked when a batch starts); a
// batch joined by taxon keeps the b1 or b2 the user set, and only that one, for every alignment.
TEST(CommandLine, JoinOptionsAndTheCountsTheUserSet) {
  RunState st = with_ten_sequences();
  EXPECT_EQ(parse(st, {"--by-name", "--partitions", "--taxon-sep=@@", "--taxon-regex=", "-b2=9"}),
            "");
  EXPECT_TRUE(st.outputs.join.by_name);
  EXPECT_EQ(st.outputs.join.partitions, PartitionForm::kRaxml);
  EXPECT_EQ(st.outputs.join.taxon_sep, "@@");
  EXPECT_EQ(st.outputs.join.taxon_regex, "");
  EXPECT_FALSE(st.input.negval_set);
  EXPECT_TRUE(st.input.flankval_set);
  // Refused (kept with the range it was checked against), and the lowest b2: b2 follows b1.
  parse(st, {"-b1=3", "-b2=0"});
  EXPECT_FALSE(st.input.negval_set);
  EXPECT_FALSE(st.input.flankval_set);
  EXPECT_TRUE(st.input.flankval_lowest);
  ASSERT_TRUE(st.input.refused_negval);
  const auto& refused = *st.input.refused_negval;
  EXPECT_EQ(std::tuple(refused.value, refused.low, refused.high), std::tuple(3, 6, 9));
  parse(st, {"-b1=6", "-b2=12"});
  EXPECT_TRUE(st.input.negval_set);
  EXPECT_FALSE(st.input.refused_negval);
  EXPECT_EQ(st.input.refused_flankval->value, 12);
}

TEST(CommandLine, ArgumentsThatNameNoOptionAreIgnoredSilently) {
  RunState st = with_ten_sequences();
  const RunState before = st;
  // "xt=P" and "ak=y": only an argument that starts with '-' can name an option.
  EXPECT_EQ(parse(st, {"foo", "-x=1", "-b7=3", "-T=P", "-b=3", "-p", "-pY", "-b53", "b5=h", "xt=P",
                       "ak=y", "--version", "-", ""}),
            "");
  EXPECT_EQ(st.params.seq_type, before.params.seq_type);
  EXPECT_EQ(st.params.tog_gaps, before.params.tog_gaps);
  EXPECT_EQ(st.outputs.tog_viewfile, before.outputs.tog_viewfile);
  EXPECT_EQ(st.params.negblen, before.params.negblen);
  EXPECT_EQ(st.outputs.tog_allfile, before.outputs.tog_allfile);
}

// Each ignored or refused argument comes back with its reason, for standard error; what is taken
// comes back with nothing. Long options are applied in the same left-to-right pass.
TEST(CommandLine, IgnoredAndRefusedArgumentsComeBackWithTheirReason) {
  struct Case {
    std::string_view arg;
    std::string reason;  // empty: taken
    bool refused = false;
  };
  const std::string form = "options are written -name=value, without blanks";
  const std::vector<Case> cases = {
      {"h", form},
      {"-b5", form},
      {"-b5h", form},
      {"--b5=h", "unknown option; did you mean -b5=h?"},
      {"-strict", "unknown option; did you mean --strict?"},
      {"-T=P", "unknown option (the sequence type is -t, in lower case)"},
      {"-b7=3", "unknown option"},
      {"--posix", "unknown option"},
      {"--help=me", "--help takes no value"},
      {"--min-taxa=0", "N is a whole number, 1 or more", true},
      {"--min-genes=2x", "N is a whole number, 1 or more", true},
      {"--min-genes=99999999999", "N is a whole number, 1 or more", true},
      {"--outdir", "it is written --outdir=DIR"},
      {"--out-format", "it is written --out-format=fasta|pir|phylip|nexus|clustal"},
      {"--strict=yes", "--strict takes no value"},
      {"--outdir=", "a folder must follow the '='", true},
      {"--out-format=xml", "the format is fasta, pir, phylip, nexus or clustal", true},
      {"--partitions=", "the form is raxml or nexus", true},
      {"-b5=x", "the setting keeps its value (the warning on standard output says why)", true},
      {"-b5=h", ""},
      {"-b2=0", ""},
      {"--strict", ""},
      {"--outdir=out/a", ""},
      {"--out-format=PHYLIP", ""},
      {"--partitions=nexus", ""},
      {"--long-names", ""},
      {"--help", ""},
      {"--min-taxa=4", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arg);
    RunState st = with_ten_sequences();
    testing::Capture capture;
    const std::vector<std::string_view> args = {c.arg};
    const std::vector<ArgumentProblem> problems = parse_options(st, args, capture.out());
    if (c.reason.empty()) {
      EXPECT_TRUE(problems.empty());
      continue;
    }
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].argument, c.arg);
    EXPECT_EQ(problems[0].reason, c.reason);
    EXPECT_EQ(problems[0].refused, c.refused);
  }

  RunState st = with_ten_sequences();
  EXPECT_EQ(
      parse(st, {"--strict", "--outdir=out/a", "--out-format=Phylip", "--long-names", "-t=D"}), "");
  EXPECT_TRUE(st.outputs.strict);
  EXPECT_TRUE(st.outputs.posix_exit);
  EXPECT_EQ(st.outputs.outdir, "out/a");
  EXPECT_EQ(st.outputs.out_format, OutputFormat::kPhylip);
  EXPECT_TRUE(st.input.long_names);
  EXPECT_TRUE(st.input.type_chosen);
}

// Each argument is applied once, at the stage of its option: what changes how the input is read
// before the input is opened, and nothing else; the rest after. The problems of both stages come
// back together, in argument order.
TEST(CommandLine, EachOptionIsAppliedOnceAtItsStage) {
  RunState st = with_ten_sequences();
  testing::Capture capture;
  const std::vector<std::string_view> args = {"-b5=x",        "--long-names=1", "--svg",
                                              "--long-names", "-B4=12",         "--nope"};
  OptionPass pass(st, capture.out(), args);
  pass.apply(OptionStage::kBeforeInput);
  EXPECT_TRUE(st.input.long_names);
  EXPECT_FALSE(st.outputs.svg_overview);
  EXPECT_EQ(st.params.posblen2, 10);
  EXPECT_EQ(capture.text(), "");
  ASSERT_EQ(pass.problems().size(), 1u);
  EXPECT_EQ(pass.problems()[0].reason, "--long-names takes no value");
  // Had the second stage applied --long-names again, it would be back on.
  st.input.long_names = false;
  pass.apply(OptionStage::kAfterInput);
  EXPECT_FALSE(st.input.long_names);
  EXPECT_TRUE(st.outputs.svg_overview);
  EXPECT_EQ(st.params.posblen2, 12);
  std::vector<std::string> problems;
  for (const ArgumentProblem& problem : pass.problems()) problems.push_back(problem.argument);
  EXPECT_EQ(problems, (std::vector<std::string>{"-b5=x", "--long-names=1", "--nope"}));
  EXPECT_EQ(
      capture.text(),
      "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With Half) or "
      "A (All)\n");
}

TEST(CommandLine, WithoutAnAlignmentTheRangesAreZero) {
  // The input could not be opened: b1 and b2 are checked against zero values.
  RunState st;
  EXPECT_EQ(parse(st, {"-b1=0", "-b2=1"}),
            std::string(kB2) +
                "The minimum number of sequences for a flank position must be lower than or equal "
                "to 0 (the number of sequences)\n");
  EXPECT_EQ(st.params.negval, 0);
  EXPECT_EQ(st.input.tog_sub, 1);
}

}  // namespace
}  // namespace selvane
