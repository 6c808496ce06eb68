// The three interactive menus. Each shows itself again after every choice until its way out:
// 'g' (after the run) for the main menu, 'm' for the two submenus. Quitting, and the end of the
// input while a menu waits, end the process by throwing ExitRequest{1}.
#pragma once

#include "core/run_state.h"
#include "core/writer.h"
#include "menus/menu_input.h"

namespace selvane {

// Open a file, cycle the sequence type, enter the submenus, run, quit.
void menu_main(RunState& st, Writer& out, MenuInput& in);

// Block parameters b1 to b6, the generic extension, restoring the defaults, and a run.
void menu_block_options(RunState& st, Writer& out, MenuInput& in);

// Which output files a run writes, and how.
void menu_saving_options(RunState& st, Writer& out, MenuInput& in);

}  // namespace selvane
