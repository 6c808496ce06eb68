// Pieces the three menus share.
#pragma once

#include <cstdint>

#include "core/run_state.h"
#include "core/writer.h"
#include "menus/menu_input.h"

namespace selvane::menu_detail {

inline constexpr const char* kNeedFile =
    "* Please enter first an alignment in NBRF/PIR or FASTA format *";

inline constexpr const char* kNotAllowed = "\n* Value not allowed *\n";

// Switches a yes/no setting.
inline void toggle(bool& flag) {
  flag = !flag;
}

// '5' of the block parameters menu: None, With Half, All, None again.
inline GapPolicy next_gap_policy(GapPolicy tog_gaps) {
  switch (tog_gaps) {
    case GapPolicy::kNone:
      return GapPolicy::kWithHalf;
    case GapPolicy::kWithHalf:
      return GapPolicy::kAll;
    case GapPolicy::kAll:
      break;
  }
  return GapPolicy::kNone;
}

// 'p' of the saving options menu: don't save, HTML, text, short text, don't save again.
inline ResultsForm next_results_form(ResultsForm form) {
  switch (form) {
    case ResultsForm::kNone:
      return ResultsForm::kHtml;
    case ResultsForm::kHtml:
      return ResultsForm::kText;
    case ResultsForm::kText:
      return ResultsForm::kShort;
    case ResultsForm::kShort:
      break;
  }
  return ResultsForm::kNone;
}

// Reads a choice into st.session.menu, lower-cased, and answers it with an empty line unless the
// user only pressed Enter.
void read_choice(RunState& st, Writer& out, MenuInput& in);

// Asks for the generic file extension (at most five characters).
void set_extension(RunState& st, Writer& out, MenuInput& in);

// 'g': a run over the current input, or, with none open, the request for one (the menu is then
// shown again after an empty line).
void get_blocks(RunState& st, Writer& out);

// Printed first in every pass of a menu that follows an empty choice.
void blank_after_empty_choice(const RunState& st, Writer& out);

}  // namespace selvane::menu_detail
