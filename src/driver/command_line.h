// The options that follow the input on the command line.
#pragma once

#include <span>
#include <string_view>

#include "core/run_state.h"
#include "core/writer.h"

namespace selvane {

// The long options: the conventional exit status (0 after a finished run), the SVG overview.
inline constexpr std::string_view kPosixExit = "--posix-exit";
inline constexpr std::string_view kSvg = "--svg";

// Applies the option arguments from left to right, printing a warning for every refused value.
void parse_options(RunState& st, std::span<const std::string_view> options, Writer& out);

}  // namespace selvane
