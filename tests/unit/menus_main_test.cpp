// The main menu: its screens, its choices and the way out.
#include <gtest/gtest.h>

#include <string>

#include "core/run_state.h"
#include "menus/menus.h"
#include "support/harness.h"
#include "unit/menus_session.h"

namespace selvane {
namespace {

using testing::run_menu;

const std::string kBanner =
    "******************************************************\n"
    "                    SELVANE " +
    std::string(kVersion) +
    "                     \n"
    "SELECTION OF CONSERVED BLOCKS FROM MULTIPLE ALIGNMENTS\n"
    "        FOR THEIR USE IN PHYLOGENETIC ANALYSIS        \n"
    "******************************************************\n";

const std::string kNoFileScreen = kBanner +
                                  "\no. Open File"
                                  "\n\nb. Block Parameters"
                                  "\n\ns. Saving Options"
                                  "\n\ng. (Get Blocks)"
                                  "\n\nq. Quit"
                                  "\n\n\nYour Choice: ";

// The screen with an input open: `current` is the CURRENT FILE part, type line included.
std::string file_screen(const std::string& current) {
  return kBanner + current +
         "\no. Open File"
         "\n\nb. Block Parameters"
         "\n\ns. Saving Options"
         "\n\ng. Get Blocks"
         "\n\nq. Quit"
         "\n\n\nYour Choice: ";
}

RunState with_alignment(char seq_type) {
  RunState st;
  st.input.filename = "data/aln.fas";
  st.input.first_path = "data/aln.fas";
  st.params.seq_type = static_cast<SeqType>(seq_type);
  st.input.fileformat = InputFormat::kFasta;
  st.input.numseq = 10;
  apply_sequence_count_defaults(st.params, 10);
  return st;
}

const std::string kProteinCurrent = "\nCURRENT FILE: data/aln.fas\nt. Type Of Sequence: Protein\n";

TEST(MainMenu, WithoutAFileGetBlocksIsBracketedAndQQuits) {
  for (const char* quit : {"q\n", "Q\n", "quit now\n", "q"}) {
    SCOPED_TRACE(quit);
    RunState st;
    const auto session = run_menu(menu_main, st, quit);
    EXPECT_TRUE(session.exited);
    EXPECT_EQ(session.status, 1);
    EXPECT_EQ(session.output, kNoFileScreen + "\n\n");
    EXPECT_EQ(st.session.menu, 'q');
  }
}

TEST(MainMenu, CurrentFileAndTypeLines) {
  struct Case {
    int tog_sb;
    char seq_type;
    std::string current;
  };
  const Case cases[] = {
      {0, 'P', kProteinCurrent},
      {0, 'D', "\nCURRENT FILE: data/aln.fas\nt. Type Of Sequence: DNA\n"},
      {0, 'C', "\nCURRENT FILE: data/aln.fas\nt. Type Of Sequence: Codons\n"},
      {0, '-', "\nCURRENT FILE: data/aln.fas\n"},
      {1, 'P', "\nCURRENT FILE (paths file): data/aln.fas\nt. Type Of Sequence: Protein\n"},
      {1, 'D', "\nCURRENT FILE (paths file): data/aln.fas\nt. Type Of Sequence: DNA\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.current);
    RunState st = with_alignment(c.seq_type);
    st.input.tog_sb = c.tog_sb;
    const auto session = run_menu(menu_main, st, "q\n");
    EXPECT_EQ(session.output, file_screen(c.current) + "\n\n");
  }
}

TEST(MainMenu, EmptyLinesUnknownKeysAndGetBlocksWithoutAFile) {
  struct Case {
    const char* input;
    std::string expected;
  };
  const std::string need_file = "* Please enter first an alignment in NBRF/PIR or FASTA format *";
  const Case cases[] = {
      // An empty line: no echo, then the menu again behind an empty line pair.
      {"\nq\n", kNoFileScreen + "\n\n" + kNoFileScreen + "\n\n"},
      {"x\nq\n", kNoFileScreen + "\n\n* Unrecognized option *\n" + kNoFileScreen + "\n\n"},
      {" \nq\n", kNoFileScreen + "\n\n* Unrecognized option *\n" + kNoFileScreen + "\n\n"},
      {"m\nq\n", kNoFileScreen + "\n\n* Unrecognized option *\n" + kNoFileScreen + "\n\n"},
      // 'g' without a file leaves the menu's choice at a line break, so the menu returns
      // behind an empty line pair.
      {"g\nq\n", kNoFileScreen + "\n\n" + need_file + "\n\n" + kNoFileScreen + "\n\n"},
      {"G\n\nq\n", kNoFileScreen + "\n\n" + need_file + "\n\n" + kNoFileScreen + "\n\n" +
                       kNoFileScreen + "\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    RunState st;
    const auto session = run_menu(menu_main, st, c.input);
    EXPECT_TRUE(session.exited);
    EXPECT_EQ(session.output, c.expected);
  }
}

TEST(MainMenu, EndOfInputEndsTheProcessWithoutDrawingTheMenuAgain) {
  struct Case {
    const char* input;
    std::string expected;
  };
  const Case cases[] = {
      {"", kNoFileScreen},
      {"\n", kNoFileScreen + "\n\n" + kNoFileScreen},
      // A last line without its line end is still answered.
      {"x", kNoFileScreen + "\n\n* Unrecognized option *\n" + kNoFileScreen},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    RunState st;
    const auto session = run_menu(menu_main, st, c.input);
    EXPECT_TRUE(session.exited);
    EXPECT_EQ(session.status, 1);
    EXPECT_EQ(session.output, c.expected);
  }
}

TEST(MainMenu, TypeCyclesDnaProteinCodonsAndCodonsNeedBlocksOfFive) {
  const std::string warning =
      "\nWarning: Minimum Length Of A Block changed to 5 for codon alignments\n";
  struct Case {
    char from;
    int posblen;
    int posblen2;
    char to;
    int posblen_after;
    int posblen2_after;
    bool warns;
  };
  const Case cases[] = {
      {'D', 3, 3, 'P', 3, 3, false},   {'P', 12, 10, 'C', 12, 10, false},
      {'P', 12, 5, 'C', 12, 5, false}, {'P', 7, 4, 'C', 5, 5, true},
      {'P', 2, 3, 'C', 5, 5, true},    {'C', 5, 5, 'D', 5, 5, false},
      {'-', 10, 2, '-', 10, 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.from) + " b4 " + std::to_string(c.posblen2));
    RunState st = with_alignment(c.from);
    st.params.posblen = c.posblen;
    st.params.posblen2 = c.posblen2;
    const auto session = run_menu(menu_main, st, "T\nq\n");
    EXPECT_EQ(static_cast<char>(st.params.seq_type), c.to);
    EXPECT_EQ(st.params.posblen, c.posblen_after);
    EXPECT_EQ(st.params.posblen2, c.posblen2_after);
    const auto type_line = [](char type) -> std::string {
      switch (type) {
        case 'D':
          return "t. Type Of Sequence: DNA\n";
        case 'P':
          return "t. Type Of Sequence: Protein\n";
        case 'C':
          return "t. Type Of Sequence: Codons\n";
        default:
          return "";
      }
    };
    const std::string before = file_screen("\nCURRENT FILE: data/aln.fas\n" + type_line(c.from));
    const std::string after = file_screen("\nCURRENT FILE: data/aln.fas\n" + type_line(c.to));
    EXPECT_EQ(session.output, before + "\n\n" + (c.warns ? warning : "") + after + "\n\n");
  }
}

TEST(MainMenu, TypeKeyWithoutAFileChangesNothingVisible) {
  RunState st;
  const auto session = run_menu(menu_main, st, "t\nq\n");
  EXPECT_EQ(static_cast<char>(st.params.seq_type), '-');
  EXPECT_EQ(session.output, kNoFileScreen + "\n\n" + kNoFileScreen + "\n\n");
}

TEST(MainMenu, SubmenusReturnToTheMainMenu) {
  RunState st;
  const auto session = run_menu(menu_main, st, "b\nm\ns\nm\nq\n");
  const std::string block_screen =
      "BLOCK PARAMETERS (Missing values will be set after opening a file)\n"
      "\n1. Minimum Number Of Sequences For A Conserved Position: . "
      "\n2. Minimum Number Of Sequences For A Flank Position: ..... "
      "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
      "\n4. Minimum Length Of A Block: ............................ 10"
      "\n5. Allowed Gap Positions: ................................ None"
      "\n\nr. Restore Defaults"
      "\ng. (Get Blocks)"
      "\n\nz. Extended Block Options"
      "\nm. Go To Main Menu"
      "\n\n\nYour Choice: ";
  const std::string saving_screen =
      "SAVING OPTIONS\n"
      "\ns. Selected Blocks: ...................................... Save"
      "\np. Results And Parameters File: .......................... Save"
      "\ne. Generic File Extension: ............................... -sv"
      "\n\nz. Extended Saving Options"
      "\nm. Go To Main Menu"
      "\n\n\nYour Choice: ";
  EXPECT_EQ(session.output, kNoFileScreen + "\n\n" + block_screen + "\n\n" + kNoFileScreen +
                                "\n\n" + saving_screen + "\n\n" + kNoFileScreen + "\n\n");
}

// Opening a file goes through input detection and loading.
const std::string kOpenPrompt =
    "Please enter a DNA or protein alignment in NBRF/PIR or FASTA format or a paths file.\n"
    "File Name: ";

TEST(MainMenuOpen, NameThatCannotBeOpenedKeepsThePreviousInput) {
  testing::TempDir dir;
  RunState st = with_alignment('P');
  st.params.negval = 7;
  const std::string missing = (dir / "missing.fas").string();
  const auto session = run_menu(menu_main, st, "open\n" + missing + "\nq\n");
  EXPECT_EQ(session.output, file_screen(kProteinCurrent) + "\n\n" + kOpenPrompt +
                                "\n* File not opened *\n" + file_screen(kProteinCurrent) + "\n\n");
  EXPECT_EQ(st.input.filename, "data/aln.fas");
  EXPECT_EQ(st.params.negval, 7);
}

TEST(MainMenuOpen, EmptyNameWithoutAPreviousInputLeavesNoneOpen) {
  RunState st;
  const auto session = run_menu(menu_main, st, "o\n\nq\n");
  EXPECT_EQ(session.output, kNoFileScreen + "\n\n" + kOpenPrompt + "\n* File not opened *\n" +
                                kNoFileScreen + "\n\n");
  EXPECT_TRUE(st.input.filename.empty());
}

TEST(MainMenuOpen, AnAlignmentBecomesCurrentWithItsOwnSequenceCounts) {
  testing::TempDir dir;
  const std::string path = (dir / "three.fas").string();
  testing::write_file(path, ">a\nACDEFG\n>b\nACDEFG\n>c\nACDEFG\n");
  RunState st = with_alignment('D');
  st.params.negval = 7;
  st.params.flankval = 9;
  st.input.tog_sub = 1;
  const auto session = run_menu(menu_main, st, "o\n" + path + "\r\nq\n");
  EXPECT_EQ(session.output,
            file_screen("\nCURRENT FILE: data/aln.fas\nt. Type Of Sequence: DNA\n") + "\n\n" +
                kOpenPrompt + "\n3 sequences and 6 positions in the first alignment file:\n" +
                path + "\n\n" +
                file_screen("\nCURRENT FILE: " + path + "\nt. Type Of Sequence: Protein\n") +
                "\n\n");
  EXPECT_EQ(st.input.filename, path);
  EXPECT_EQ(st.params.initnegval, 2);
  EXPECT_EQ(st.params.negval, 2);
  EXPECT_EQ(st.params.flankval, 2);
  // Opening a single alignment leaves the batch switches alone.
  EXPECT_EQ(st.input.tog_sub, 1);
}

TEST(MainMenuOpen, AFileInNoKnownFormatEndsTheSession) {
  testing::TempDir dir;
  const std::string path = (dir / "notes.txt").string();
  testing::write_file(path, "just some notes\n");
  RunState st;
  const auto session = run_menu(menu_main, st, "o\n" + path + "\nq\n");
  EXPECT_FALSE(session.exited);
  EXPECT_EQ(session.fatal, "\nSequence not in NBRF/PIR or FASTA format\n");
  EXPECT_EQ(session.output, kNoFileScreen + "\n\n" + kOpenPrompt);
}

}  // namespace
}  // namespace selvane
