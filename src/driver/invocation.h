// Command lines that ask about the program instead of naming an input: --version and --help.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/run_state.h"
#include "driver/option_table.h"

namespace selvane {

// What a command line of exactly one argument asks for: --version or -V, --help or -h, as long
// as no file of that name can be opened. A file that can be opened is the input, as any first
// argument is, so an alignment named "-h" keeps working.
Standalone standalone_request(std::span<const std::string_view> args);

// The one line printed for --version: "selvane 0.91b\n".
std::string version_line();

// The short usage printed for --help, with the defaults of the start-up state `start`.
std::string usage_text(const RunState& start);

}  // namespace selvane
