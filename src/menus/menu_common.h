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

// Switches a 0/1 setting.
inline void toggle(std::int32_t& flag) {
  flag = flag == 0 ? 1 : 0;
}

// Reads a choice into st.menu, lower-cased, and answers it with an empty line unless the user
// only pressed Enter.
void read_choice(RunState& st, Writer& out, MenuInput& in);

// Asks for the generic file extension (at most five characters).
void set_extension(RunState& st, Writer& out, MenuInput& in);

// 'g': a run over the current input, or, with none open, the request for one (the menu is then
// shown again after an empty line).
void get_blocks(RunState& st, Writer& out);

// Printed first in every pass of a menu that follows an empty choice.
void blank_after_empty_choice(const RunState& st, Writer& out);

}  // namespace selvane::menu_detail
