// The options that follow the input on the command line.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "core/writer.h"
#include "input/alignment.h"

namespace selvane {

// An option argument that was ignored (it names no option) or whose value was refused.
struct ArgumentProblem {
  std::string argument;
  std::string reason;
  bool refused = false;  // the option was recognised, its value refused
};

// Applies the option arguments, short and long (see driver/long_options.h), from left to right,
// printing the warning of every refused short value on standard output as always. Returns every
// argument that was ignored or refused, for the caller to report on standard error.
std::vector<ArgumentProblem> parse_options(RunState& st, std::span<const std::string_view> options,
                                           Writer& out);

// A run made from the command line, once the input named first was opened (`first` is its
// alignment, when it could be): the options, every ignored or refused one reported on standard
// error, then the run. With --strict an ignored or refused argument, or an input that could not
// be opened, stops here before anything is written. Returns the exit status: 1, or with
// --posix-exit 0 after a finished run; with --strict 1 when no position was selected (in a
// batch, by any alignment).
int command_line_run(RunState& st, std::span<const std::string_view> options,
                     std::optional<Alignment> first, Writer& out);

}  // namespace selvane
