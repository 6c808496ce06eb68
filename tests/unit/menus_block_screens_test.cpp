// The block parameters menu: its screen with and without an open file, in both views.
#include <gtest/gtest.h>

#include <string>

#include "core/run_state.h"
#include "menus/menus.h"
#include "unit/menus_block_fixtures.h"
#include "unit/menus_session.h"

namespace selvane {
namespace {

using testing::kTail;
using testing::run_menu;
using testing::with_alignment;
using testing::with_paths_file;

TEST(BlockMenu, ScreensWithAndWithoutAFileInBothViews) {
  struct Case {
    const char* what;
    RunState st;
    std::string screen;
  };
  RunState none;
  RunState none_extended;
  none_extended.session.tog_expmenb = 1;
  RunState protein = with_alignment('P');
  RunState protein_extended = with_alignment('P');
  protein_extended.session.tog_expmenb = 1;
  protein_extended.params.tog_sim = 0;
  protein_extended.outputs.exten = ".ab";
  RunState dna_extended = with_alignment('D', 4);
  dna_extended.session.tog_expmenb = 1;
  dna_extended.params.tog_gaps = GapPolicy::kWithHalf;
  RunState codons = with_alignment('C', 2);
  codons.params.tog_gaps = GapPolicy::kAll;
  codons.params.posblen2 = 5;
  codons.params.negblen = 0;
  RunState paths = with_paths_file();
  RunState paths_fixed = with_paths_file();
  paths_fixed.input.tog_sub = 1;
  paths_fixed.params.negval = 7;
  paths_fixed.session.tog_expmenb = 1;

  const Case cases[] = {
      {"no file", none,
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
       "\n\n\nYour Choice: "},
      // No type is known before a file is open, so item 6 is not offered.
      {"no file, extended", none_extended,
       "BLOCK PARAMETERS (Missing values will be set after opening a file)\n"
       "\n1. Minimum Number Of Sequences For A Conserved Position: . "
       "\n2. Minimum Number Of Sequences For A Flank Position: ..... "
       "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
       "\n4. Minimum Length Of A Block: ............................ 10"
       "\n5. Allowed Gap Positions: ................................ None"
       "\n"
       "\ne. Generic File Extension: ............................... -sv"
       "\n\nr. Restore Defaults"
       "\ng. (Get Blocks)"
       "\n\nz. Extended Block Options"
       "\nm. Go To Main Menu"
       "\n\n\nYour Choice: "},
      {"protein", protein,
       "BLOCK PARAMETERS\n"
       "\n1. Minimum Number Of Sequences For A Conserved Position: . 6"
       "\n2. Minimum Number Of Sequences For A Flank Position: ..... 8"
       "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
       "\n4. Minimum Length Of A Block: ............................ 10"
       "\n5. Allowed Gap Positions: ................................ None" +
           kTail},
      {"protein, extended", protein_extended,
       "BLOCK PARAMETERS\n"
       "\n1. Minimum Number Of Sequences For A Conserved Position: . 6"
       "\n2. Minimum Number Of Sequences For A Flank Position: ..... 8"
       "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
       "\n4. Minimum Length Of A Block: ............................ 10"
       "\n5. Allowed Gap Positions: ................................ None"
       "\n"
       "\n6. Use Similarity Matrix: ................................ No"
       "\ne. Generic File Extension: ............................... .ab" +
           kTail},
      // Item 6 only ever appears for proteins.
      {"DNA, extended", dna_extended,
       "BLOCK PARAMETERS\n"
       "\n1. Minimum Number Of Sequences For A Conserved Position: . 3"
       "\n2. Minimum Number Of Sequences For A Flank Position: ..... 3"
       "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
       "\n4. Minimum Length Of A Block: ............................ 10"
       "\n5. Allowed Gap Positions: ................................ With Half"
       "\n"
       "\ne. Generic File Extension: ............................... -sv" +
           kTail},
      {"codons", codons,
       "BLOCK PARAMETERS\n"
       "\n1. Minimum Number Of Sequences For A Conserved Position: . 2"
       "\n2. Minimum Number Of Sequences For A Flank Position: ..... 2"
       "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 0"
       "\n4. Minimum Length Of A Block: ............................ 5"
       "\n5. Allowed Gap Positions: ................................ All" +
           kTail},
      {"paths file", paths,
       "BLOCK PARAMETERS\n"
       "\n1. Minimum Number Of Sequences For A Conserved Position: . Default"
       "\n2. Minimum Number Of Sequences For A Flank Position: ..... Default"
       "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
       "\n4. Minimum Length Of A Block: ............................ 10"
       "\n5. Allowed Gap Positions: ................................ None" +
           kTail},
      {"paths file with b1 and b2 fixed, extended", paths_fixed,
       "BLOCK PARAMETERS\n"
       "\n1. Minimum Number Of Sequences For A Conserved Position: . 7"
       "\n2. Minimum Number Of Sequences For A Flank Position: ..... 8"
       "\n3. Maximum Number Of Contiguous Nonconserved Positions: .. 8"
       "\n4. Minimum Length Of A Block: ............................ 10"
       "\n5. Allowed Gap Positions: ................................ None"
       "\n"
       "\n6. Use Similarity Matrix: ................................ Yes"
       "\ne. Generic File Extension: ............................... -sv" +
           kTail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RunState st = c.st;
    const auto session = run_menu(menu_block_options, st, "m\n");
    EXPECT_FALSE(session.exited);
    EXPECT_EQ(session.output, c.screen + "\n\n");
  }
}

}  // namespace
}  // namespace selvane
