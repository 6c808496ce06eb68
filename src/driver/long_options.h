// The long options: written after the input like the short ones, as --name or --name=VALUE.
// They switch on what goes beyond the program's classic behaviour, so a run without them is
// exactly the classic run. Every long option is one row of one table: the parser, the early
// pass before the input is opened and --help all read it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/run_state.h"

namespace selvane {

struct LongOption {
  std::string_view name;   // as typed, "--outdir"
  std::string_view value;  // what --help shows after '=' ("DIR"); empty: the option takes none
  // Applies the option with its value (empty for an option without one) and returns why the
  // value is refused, or an empty text when it is taken. Applying a row twice must give what
  // applying it once gives: see apply_long_options.
  std::string (*apply)(RunState& st, std::string_view value);
  // The description in --help; a '\n' starts a continuation line.
  std::string_view help;
};

// The table, in the order --help lists it.
std::span<const LongOption> long_options();

// What one argument that begins with "--" comes to.
struct LongOutcome {
  bool matched = false;  // it named a row with the right kind of value, which was applied
  std::string problem;   // otherwise why it was ignored, or else why its value was refused
  bool refused = false;  // the row was found and applied, but its value was refused
  bool unknown = false;  // no row has this name
};
LongOutcome apply_long_option(RunState& st, std::string_view arg);

// Applies every long option among `options` silently. Called before the input is opened, for
// the options that change how it is read (--long-names); parse_options applies them all again,
// in order, and reports what is wrong.
void apply_long_options(RunState& st, std::span<const std::string_view> options);

}  // namespace selvane
