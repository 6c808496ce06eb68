// The block parameters menu: screens, range checks, warnings, restoring the defaults.
#include <gtest/gtest.h>

#include <string>

#include "core/run_state.h"
#include "menus/menus.h"
#include "unit/menus_block_fixtures.h"
#include "unit/menus_session.h"

namespace selvane {
namespace {

using testing::first_dialog;
using testing::kTail;
using testing::run_menu;
using testing::with_alignment;
using testing::with_paths_file;

const std::string kSequenceCountWarning =
    "\nWARNING: you have changed a parameter that is related to the number of sequences. "
    "You should be sure that all alignments have the same number of sequences \n\n";
const std::string kDecrease = "(BIGGER values DECREASE the selected number of positions)\n";
const std::string kNotAllowed = "\n* Value not allowed *\n";

TEST(BlockMenu, ConservedPositionMinimumB1) {
  const std::string prompt6to8 =
      "\n\n" + kDecrease + "Minimum Number Of Sequences For A Conserved Position [6-8]: ";
  const std::string too_small =
      "\nThe minimum number of sequences for a conserved position must be bigger than or equal "
      "to 6 (half the number of sequences + 1)";
  const std::string too_big =
      "\nThe minimum number of sequences for a conserved position must be lower than or equal "
      "to the minimum number of sequences for a flank position";
  const std::string hint = "\nTry increasing the Minimum Number Of Sequences For A Flank Position";
  struct Case {
    const char* entry;
    int flankval;
    int negval_after;
    std::string dialog;
  };
  const Case cases[] = {
      {"7", 8, 7, prompt6to8 + kSequenceCountWarning + "\n\n"},
      {"6", 8, 6, prompt6to8 + kSequenceCountWarning + "\n\n"},
      {"8", 8, 8, prompt6to8 + kSequenceCountWarning + "\n\n"},
      {"0x7", 8, 7, prompt6to8 + kSequenceCountWarning + "\n\n"},
      {"9", 8, 6, prompt6to8 + kNotAllowed + too_big + hint + "\n\n"},
      {"5", 8, 6, prompt6to8 + kNotAllowed + too_small + "\n\n"},
      {"-3", 8, 6, prompt6to8 + kNotAllowed + too_small + "\n\n"},
      {"abc", 8, 6, prompt6to8 + kNotAllowed + "\n\n"},
      {"99999999999", 8, 6, prompt6to8 + kNotAllowed + too_big + hint + "\n\n"},
      // b2 already at the number of sequences: nothing to suggest.
      {"11", 10, 6,
       "\n\n" + kDecrease + "Minimum Number Of Sequences For A Conserved Position [6-10]: " +
           kNotAllowed + too_big + "\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    RunState st = with_alignment();
    st.params.flankval = c.flankval;
    const auto session = run_menu(menu_block_options, st, std::string("1\n") + c.entry + "\nm\n");
    EXPECT_FALSE(session.exited);
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.params.negval, c.negval_after);
    const bool accepted = c.negval_after != 6 || std::string(c.entry) == "6";
    EXPECT_EQ(st.input.tog_sub, accepted ? 1 : 0);
    EXPECT_EQ(st.session.warn, accepted ? 0 : 1);
    EXPECT_EQ(st.params.flankval, c.flankval);
  }
}

TEST(BlockMenu, FlankPositionMinimumB2) {
  const std::string too_big =
      "\nThe minimum number of sequences for a flank position must be lower than or equal to 10 "
      "(the number of sequences)";
  const std::string too_small =
      "\nThe minimum number of sequences for a flank position must be bigger than or equal to "
      "the minimum number of sequences for a conserved position";
  const std::string hint =
      "\nTry decreasing the minimum number of sequences for a conserved position";
  struct Case {
    const char* entry;
    int negval;
    int flankval_after;
    std::string dialog;
  };
  const auto prompt = [](int low) {
    return "\n\n" + kDecrease + "Minimum Number Of Sequences For A Flank Position [" +
           std::to_string(low) + "-10]: ";
  };
  const Case cases[] = {
      {"10", 6, 10, prompt(6) + kSequenceCountWarning + "\n\n"},
      {"6", 6, 6, prompt(6) + kSequenceCountWarning + "\n\n"},
      {"11", 6, 8, prompt(6) + kNotAllowed + too_big + "\n\n"},
      {"5", 6, 8, prompt(6) + kNotAllowed + too_small + "\n\n"},
      // b1 above its lowest value: the user is told to lower it.
      {"6", 7, 8, prompt(7) + kNotAllowed + too_small + hint + "\n\n"},
      {"", 6, 8, prompt(6) + kNotAllowed + "\n\n"},  // the entry is the next line: "m"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    RunState st = with_alignment();
    st.params.negval = c.negval;
    const std::string entry = c.entry[0] == '\0' ? "" : std::string(c.entry) + "\n";
    const auto session = run_menu(menu_block_options, st, "2\n" + entry + "m\n");
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.params.flankval, c.flankval_after);
    EXPECT_EQ(st.params.negval, c.negval);
  }
}

TEST(BlockMenu, SequenceCountWarningIsShownOnceUntilRearmed) {
  RunState st = with_paths_file();
  const auto first = run_menu(menu_block_options, st, "1\n7\n2\n9\nm\n");
  EXPECT_EQ(st.params.negval, 7);
  EXPECT_EQ(st.params.flankval, 9);
  EXPECT_EQ(st.input.tog_sub, 1);
  const auto count = [](const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(first.output, kSequenceCountWarning), 1);
  // Once b1 is fixed the paths file shows numbers instead of "Default".
  EXPECT_NE(first.output.find("Position: . 7\n2. Minimum Number Of Sequences For A Flank "
                              "Position: ..... 8\n"),
            std::string::npos);
  EXPECT_NE(first.output.find("Position: . 7\n2. Minimum Number Of Sequences For A Flank "
                              "Position: ..... 9\n"),
            std::string::npos);
  const auto again = run_menu(menu_block_options, st, "1\n8\nm\n");
  EXPECT_EQ(count(again.output, kSequenceCountWarning), 0);
  // Opening another paths file arms the warning again.
  st.session.warn = 1;
  const auto rearmed = run_menu(menu_block_options, st, "2\n10\nm\n");
  EXPECT_EQ(count(rearmed.output, kSequenceCountWarning), 1);
}

TEST(BlockMenu, SequenceCountsNeedAFile) {
  for (const char* choice : {"1\n", "2\n"}) {
    RunState st;
    // No number is asked for: the "m" on the next line leaves the menu.
    const auto session = run_menu(menu_block_options, st, std::string(choice) + "m\n");
    EXPECT_FALSE(session.exited);
    EXPECT_EQ(first_dialog(session.output),
              "\n\n* Please enter first an alignment in NBRF/PIR or FASTA format *\n\n");
    EXPECT_EQ(st.params.negval, 0);
    EXPECT_EQ(st.input.tog_sub, 0);
    EXPECT_EQ(st.session.warn, 1);
  }
}

TEST(BlockMenu, NonconservedRunMaximumB3) {
  const std::string prompt =
      "\n\n(BIGGER values INCREASE the selected number of positions)\n"
      "Maximum Number Of Contiguous Nonconserved Positions [0-32000]: ";
  const std::string positive =
      "\nThe maximum number of contiguous nonconserved positions must be positive";
  struct Case {
    const char* entry;
    int negblen_after;
    std::string dialog;
  };
  const Case cases[] = {
      {"0", 0, prompt + "\n\n"},
      {"32000", 32000, prompt + "\n\n"},
      {"012", 10, prompt + "\n\n"},
      {"32001", 8, prompt + kNotAllowed + "\n\n"},
      {"-1", 8, prompt + kNotAllowed + positive + "\n\n"},
      {"-99999999999", 8, prompt + kNotAllowed + positive + "\n\n"},
      {"none", 8, prompt + kNotAllowed + "\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    RunState st;  // no file needed
    const auto session = run_menu(menu_block_options, st, std::string("3\n") + c.entry + "\nm\n");
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.params.negblen, c.negblen_after);
  }
}

TEST(BlockMenu, BlockLengthMinimumB4ByType) {
  const std::string prompt2 = "\n\n" + kDecrease + "Minimum Length Of A Block [2 - 32000]: ";
  const std::string prompt5 = "\n\n" + kDecrease + "Minimum Length Of A Block [5 - 32000]: ";
  const std::string two = "The minimum length of a block after gap cleaning must be 2 or bigger";
  const std::string five =
      "The minimum length of a block after gap cleaning must be 5 or bigger for codon sequences";
  struct Case {
    char seq_type;
    const char* entry;
    int after;  // posblen and posblen2 both
    std::string dialog;
  };
  const Case cases[] = {
      {'P', "2", 2, prompt2 + "\n\n"},
      {'D', "2", 2, prompt2 + "\n\n"},
      {'P', "32000", 32000, prompt2 + "\n\n"},
      {'P', "1", 12, prompt2 + kNotAllowed + two + "\n\n"},
      {'D', "-4", 12, prompt2 + kNotAllowed + two + "\n\n"},
      {'P', "32001", 12, prompt2 + kNotAllowed + "\n\n"},
      {'P', "?", 12, prompt2 + kNotAllowed + "\n\n"},
      {'C', "5", 5, prompt5 + "\n\n"},
      {'C', "4", 12, prompt5 + kNotAllowed + five + "\n\n"},
      {'C', "32001", 12, prompt5 + kNotAllowed + "\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.seq_type) + " " + c.entry);
    RunState st = with_alignment(c.seq_type);
    st.params.posblen = 12;
    st.params.posblen2 = 12;
    const auto session = run_menu(menu_block_options, st, std::string("4\n") + c.entry + "\nm\n");
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.params.posblen, c.after);
    EXPECT_EQ(st.params.posblen2, c.after);
  }
  // Without a file the type is unknown; nothing is read.
  RunState st;
  const auto session = run_menu(menu_block_options, st, "4\nm\n");
  EXPECT_FALSE(session.exited);
  EXPECT_EQ(first_dialog(session.output),
            "\n\n\n* Please enter first an alignment in NBRF/PIR or FASTA format *\n\n");
  EXPECT_EQ(st.params.posblen2, 10);
}

TEST(BlockMenu, GapsCycleSimilarityAndViewToggle) {
  RunState st = with_alignment('D');
  const auto session = run_menu(menu_block_options, st, "5\n5\n5\n6\nz\nm\n");
  EXPECT_EQ(st.params.tog_gaps, GapPolicy::kNone);
  EXPECT_EQ(st.params.tog_sim, 0);  // item 6 is not shown for DNA, yet the key works
  EXPECT_EQ(st.session.tog_expmenb, 1);
  const std::string gaps = "\n5. Allowed Gap Positions: ................................ ";
  const auto none = session.output.find(gaps + "None\n");
  const auto half = session.output.find(gaps + "With Half\n");
  const auto all = session.output.find(gaps + "All\n");
  ASSERT_NE(half, std::string::npos);
  ASSERT_NE(all, std::string::npos);
  EXPECT_LT(none, half);
  EXPECT_LT(half, all);
  EXPECT_NE(session.output.find(gaps + "None\n\ne. Generic File Extension"), std::string::npos);
  run_menu(menu_block_options, st, "6\nZ\nm\n");
  EXPECT_EQ(st.params.tog_sim, 1);
  EXPECT_EQ(st.session.tog_expmenb, 0);
}

TEST(BlockMenu, ExtensionOfAtMostFiveCharacters) {
  struct Case {
    const char* entry;
    const char* exten_after;
    std::string dialog;
  };
  const std::string prompt = "\n\n(Five Characters Maximum)\nFile Extension: ";
  const Case cases[] = {
      {"abcde", "abcde", prompt + "\n\n"},
      {"  .x  trailing words", ".x", prompt + "\n\n"},
      {"abcdef", "-sv", prompt + "\n* String too long *\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    RunState st;
    const auto session = run_menu(menu_block_options, st, std::string("e\n") + c.entry + "\nm\n");
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.outputs.exten, c.exten_after);
  }
}

TEST(BlockMenu, RestoreDefaultsKeepsExtensionTypeAndBatchFlags) {
  RunState st = with_alignment('P', 10);
  st.session.tog_expmenb = 1;
  st.params.negblen = 3;
  st.params.posblen = 4;
  st.params.posblen2 = 6;
  st.params.tog_gaps = GapPolicy::kAll;
  st.params.tog_sim = 0;
  st.params.negval = 7;
  st.params.flankval = 9;
  st.input.tog_sub = 1;
  st.session.warn = 0;
  st.outputs.exten = ".x";
  const auto session = run_menu(menu_block_options, st, "R\nm\n");
  EXPECT_EQ(st.params.negblen, 8);
  EXPECT_EQ(st.params.posblen, 10);
  EXPECT_EQ(st.params.posblen2, 10);
  EXPECT_EQ(st.params.tog_gaps, GapPolicy::kNone);
  EXPECT_EQ(st.params.tog_sim, 1);
  EXPECT_EQ(st.params.initnegval, 6);
  EXPECT_EQ(st.params.negval, 6);
  EXPECT_EQ(st.params.flankval, 8);
  EXPECT_EQ(st.input.tog_sub, 1);
  EXPECT_EQ(st.session.warn, 0);
  EXPECT_EQ(st.outputs.exten, ".x");
  EXPECT_EQ(static_cast<char>(st.params.seq_type), 'P');
  const std::string after =
      "BLOCK PARAMETERS\n"
      "\n1. Minimum Number Of Sequences For A Conserved Position: . 6"
      "\n2. Minimum Number Of Sequences For A Flank Position: ..... 8"
      "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
      "\n4. Minimum Length Of A Block: ............................ 10"
      "\n5. Allowed Gap Positions: ................................ None"
      "\n"
      "\n6. Use Similarity Matrix: ................................ Yes"
      "\ne. Generic File Extension: ............................... .x" +
      kTail + "\n\n";
  ASSERT_GE(session.output.size(), after.size());
  EXPECT_EQ(session.output.substr(session.output.size() - after.size()), after);

  // Two sequences: b2 comes out as 1 and is raised to 2.
  RunState two = with_alignment('D', 2);
  two.params.negval = 2;
  two.params.flankval = 2;
  run_menu(menu_block_options, two, "r\nm\n");
  EXPECT_EQ(two.params.initnegval, 2);
  EXPECT_EQ(two.params.flankval, 2);
}

TEST(BlockMenu, GetBlocksWithoutAFileUnknownKeysAndEmptyLines) {
  struct Case {
    const char* input;
    std::string dialog;
  };
  const Case cases[] = {
      {"g\nm\n", "\n\n* Please enter first an alignment in NBRF/PIR or FASTA format *\n\n"},
      {"x\nm\n", "\n\n* Unrecognized option *\n"},
      {"q\nm\n", "\n\n* Unrecognized option *\n"},
      {"\nm\n", "\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    RunState st;
    const auto session = run_menu(menu_block_options, st, c.input);
    EXPECT_FALSE(session.exited);
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.session.menu, 'm');
  }
  RunState st;
  const auto ended = run_menu(menu_block_options, st, "3\n");
  EXPECT_TRUE(ended.exited);
  EXPECT_EQ(ended.status, 1);
}

}  // namespace
}  // namespace selvane
