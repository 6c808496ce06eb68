// The saving options menu: screens, switches, the line width and the concatenation warning.
#include <gtest/gtest.h>

#include <string>

#include "core/run_state.h"
#include "menus/menus.h"
#include "unit/menus_session.h"

namespace selvane {
namespace {

using testing::run_menu;

const std::string kTail =
    "\n\nz. Extended Saving Options"
    "\nm. Go To Main Menu"
    "\n\n\nYour Choice: ";

std::string first_dialog(const std::string& output) {
  const std::string choice = "Your Choice: ";
  const auto start = output.find(choice);
  if (start == std::string::npos) return "<no menu>";
  const auto from = start + choice.size();
  const auto next = output.find("SAVING OPTIONS", from);
  return output.substr(from, next == std::string::npos ? std::string::npos : next - from);
}

TEST(SavingMenu, ScreensPlainExtendedAndForAPathsFile) {
  struct Case {
    const char* what;
    RunState st;
    std::string screen;
  };
  RunState defaults;
  RunState extended;
  extended.session.tog_expmen = 1;
  RunState everything;
  everything.session.tog_expmen = 1;
  everything.outputs.tog_seqfile = 0;
  everything.outputs.tog_viewfile = ResultsForm::kText;
  everything.outputs.exten = "abcde";
  everything.outputs.breakcount = 32000;
  everything.outputs.tog_ncbfile = 1;
  everything.outputs.tog_ungappedfile = 1;
  everything.outputs.tog_maskfile = 1;
  everything.outputs.tog_psfile = 1;
  RunState paths;
  paths.input.filename = "list.txt";
  paths.input.tog_sb = 1;
  paths.outputs.tog_viewfile = ResultsForm::kShort;
  paths.outputs.tog_allfile_init = 1;
  RunState paths_extended = paths;
  paths_extended.session.tog_expmen = 1;
  paths_extended.outputs.tog_viewfile = ResultsForm::kNone;
  paths_extended.outputs.tog_allfile = 1;
  paths_extended.outputs.tog_allfile_init = 0;
  paths_extended.outputs.tog_allungfile = 1;

  const Case cases[] = {
      {"defaults", defaults,
       "SAVING OPTIONS\n"
       "\ns. Selected Blocks: ...................................... Save"
       "\np. Results And Parameters File: .......................... Save"
       "\ne. Generic File Extension: ............................... -sv" +
           kTail},
      {"extended", extended,
       "SAVING OPTIONS\n"
       "\ns. Selected Blocks: ...................................... Save"
       "\np. Results And Parameters File: .......................... Save"
       "\ne. Generic File Extension: ............................... -sv"
       "\n\nv. Characters Per Line In Results And Parameters File: ... 60"
       "\nn. Nonconserved Blocks: .................................. Don't Save"
       "\nu. Ungapped Alignment: ................................... Don't Save"
       "\nk. Mask File With The Selected Blocks: ................... Don't Save"
       "\nd. Postscript File With The Selected Blocks: ............. Don't Save" +
           kTail},
      {"extended, every switch turned", everything,
       "SAVING OPTIONS\n"
       "\ns. Selected Blocks: ...................................... Don't Save"
       "\np. Results And Parameters File: .......................... Save Text"
       "\ne. Generic File Extension: ............................... abcde"
       "\n\nv. Characters Per Line In Results And Parameters File: ... 32000"
       "\nn. Nonconserved Blocks: .................................. Save"
       "\nu. Ungapped Alignment: ................................... Save"
       "\nk. Mask File With The Selected Blocks: ................... Save"
       "\nd. Postscript File With The Selected Blocks: ............. Save" +
           kTail},
      {"paths file", paths,
       "SAVING OPTIONS\n"
       "\ns. Selected Blocks: ...................................... Save"
       "\np. Results And Parameters File: .......................... Save Short"
       "\ne. Generic File Extension: ............................... -sv"
       "\n\na. Concatenated Blocks From Alignments In Batch: ......... Don't Save"
       "\nc. Concatenated Input Alignments In Batch: ............... Save"
       "\nw. Concatenated Ungapped Alignments In Batch: ............ Don't Save" +
           kTail},
      {"paths file, extended", paths_extended,
       "SAVING OPTIONS\n"
       "\ns. Selected Blocks: ...................................... Save"
       "\np. Results And Parameters File: .......................... Don't Save"
       "\ne. Generic File Extension: ............................... -sv"
       "\n\nv. Characters Per Line In Results And Parameters File: ... 60"
       "\nn. Nonconserved Blocks: .................................. Don't Save"
       "\nu. Ungapped Alignment: ................................... Don't Save"
       "\nk. Mask File With The Selected Blocks: ................... Don't Save"
       "\nd. Postscript File With The Selected Blocks: ............. Don't Save"
       "\n\na. Concatenated Blocks From Alignments In Batch: ......... Save"
       "\nc. Concatenated Input Alignments In Batch: ............... Don't Save"
       "\nw. Concatenated Ungapped Alignments In Batch: ............ Save" +
           kTail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunState st = c.st;
    const auto session = run_menu(menu_saving_options, st, "M\n");
    EXPECT_FALSE(session.exited);
    EXPECT_EQ(session.output, c.screen + "\n\n");
  }
}

TEST(SavingMenu, ResultsFileCyclesThroughTheThreeFormsAndBackToHtml) {
  RunState st;
  const auto session = run_menu(menu_saving_options, st, "p\np\np\np\nm\n");
  EXPECT_EQ(st.outputs.tog_viewfile, ResultsForm::kHtml);
  const std::string p = "\np. Results And Parameters File: .......................... ";
  std::size_t at = 0;
  for (const char* state : {"Save\n", "Save Text\n", "Save Short\n", "Don't Save\n", "Save\n"}) {
    SCOPED_TRACE(state);
    at = session.output.find(p + state, at);
    ASSERT_NE(at, std::string::npos);
    ++at;
  }
}

TEST(SavingMenu, EveryKeyTogglesItsSwitchWhetherShownOrNot) {
  struct Case {
    char key;
    bool OutputSwitches::*flag;
  };
  const Case cases[] = {
      {'s', &OutputSwitches::tog_seqfile},      {'n', &OutputSwitches::tog_ncbfile},
      {'u', &OutputSwitches::tog_ungappedfile}, {'k', &OutputSwitches::tog_maskfile},
      {'d', &OutputSwitches::tog_psfile},       {'a', &OutputSwitches::tog_allfile},
      {'c', &OutputSwitches::tog_allfile_init}, {'w', &OutputSwitches::tog_allungfile},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.key));
    RunState st;  // plain view, no paths file
    const bool before = st.outputs.*c.flag;
    run_menu(menu_saving_options, st, std::string(1, c.key) + "\nm\n");
    EXPECT_EQ(st.outputs.*c.flag, !before);
    run_menu(menu_saving_options, st,
             std::string(1, static_cast<char>(c.key - 'a' + 'A')) + "\nm\n");
    EXPECT_EQ(st.outputs.*c.flag, before);
  }
  RunState st;
  run_menu(menu_saving_options, st, "z\nm\n");
  EXPECT_EQ(st.session.tog_expmen, 1);
  run_menu(menu_saving_options, st, "z\nm\n");
  EXPECT_EQ(st.session.tog_expmen, 0);
}

const std::string kConcatenationWarning =
    "\nWARNING: You have selected to concatenate the input files. "
    "You should be sure that all files have sequences in correlated order and that your "
    "alignment program didn't change the order of the sequences. "
    "Sequence names of the last file in the paths file will be used for the concatenated "
    "files \n\n";

TEST(SavingMenu, ConcatenationFixesSequenceCountsAndWarnsOncePerPathsFile) {
  for (const char* key : {"a\n", "c\n", "w\n"}) {
    SCOPED_TRACE(key);
    RunState st;
    st.input.filename = "list.txt";
    st.input.tog_sb = 1;
    const auto first = run_menu(menu_saving_options, st, std::string(key) + "m\n");
    EXPECT_EQ(first_dialog(first.output), "\n\n" + kConcatenationWarning);
    EXPECT_EQ(st.input.tog_sub, 1);
    EXPECT_EQ(st.session.warn, 0);
    // Turning the switch off again still counts as a concatenation choice, without a warning.
    st.input.tog_sub = 0;
    const auto second = run_menu(menu_saving_options, st, std::string(key) + "m\n");
    EXPECT_EQ(first_dialog(second.output), "\n\n");
    EXPECT_EQ(st.input.tog_sub, 1);
    EXPECT_EQ(st.outputs.tog_allfile + st.outputs.tog_allfile_init + st.outputs.tog_allungfile, 0);
    // A newly opened paths file arms it again.
    st.session.warn = 1;
    const auto rearmed = run_menu(menu_saving_options, st, std::string(key) + "m\n");
    EXPECT_EQ(first_dialog(rearmed.output), "\n\n" + kConcatenationWarning);
  }
}

TEST(SavingMenu, CharactersPerLineBetween50And32000) {
  const std::string prompt = "\n\nCharacters Per Line In Results And Parameters File [50-32000]: ";
  struct Case {
    const char* entry;
    int after;
    std::string dialog;
  };
  const Case cases[] = {
      {"50", 50, prompt + "\n\n"},
      {"32000", 32000, prompt + "\n\n"},
      {"0x40", 64, prompt + "\n\n"},
      {"0100", 64, prompt + "\n\n"},
      {"80 columns", 80, prompt + "\n\n"},
      {"49", 60, prompt + "\n* Value not allowed *\n\n\n"},
      {"32001", 60, prompt + "\n* Value not allowed *\n\n\n"},
      {"-100", 60, prompt + "\n* Value not allowed *\n\n\n"},
      {"4294967346", 60, prompt + "\n* Value not allowed *\n\n\n"},  // 2^32 + 50
      {"wide", 60, prompt + "\n* Value not allowed *\n\n\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    RunState st;
    const auto session = run_menu(menu_saving_options, st, std::string("v\n") + c.entry + "\nm\n");
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.outputs.breakcount, c.after);
  }
}

TEST(SavingMenu, ExtensionUnknownKeysAndEndOfInput) {
  struct Case {
    const char* input;
    std::string dialog;
    const char* exten_after;
  };
  const std::string prompt = "\n\n(Five Characters Maximum)\nFile Extension: ";
  const Case cases[] = {
      {"e\n.fasx\nm\n", prompt + "\n\n", ".fasx"},
      {"e\n\n  toolong\nm\n", prompt + "\n* String too long *\n\n", "-sv"},
      {"x\nm\n", "\n\n* Unrecognized option *\n", "-sv"},
      {"g\nm\n", "\n\n* Unrecognized option *\n", "-sv"},
      {"\nm\n", "\n\n", "-sv"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    RunState st;
    const auto session = run_menu(menu_saving_options, st, c.input);
    EXPECT_FALSE(session.exited);
    EXPECT_EQ(first_dialog(session.output), c.dialog);
    EXPECT_EQ(st.outputs.exten, c.exten_after);
  }
  RunState st;
  const auto ended = run_menu(menu_saving_options, st, "e\n");
  EXPECT_TRUE(ended.exited);
  EXPECT_EQ(ended.output.substr(ended.output.size() - 16), "File Extension: ");
}

}  // namespace
}  // namespace selvane
