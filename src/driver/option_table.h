// The options written after the input, short (-b5=h) and long (--outdir=DIR), as one table: the
// parser, the two stages of a command line, --help and the documentation tests all read it, so
// a new option is one row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "core/writer.h"

namespace selvane {

// When an option is applied. Whatever the stage, the problems of a command line are reported
// together, in argument order, once the input is open.
enum class OptionStage : std::uint8_t {
  kBeforeInput,  // it changes how the input is read (--long-names): applied before it is opened
  kAfterInput,   // every other: b1 and b2 are checked against the input's first alignment
};

// What follows the '=' of an option.
enum class ValueKind : std::uint8_t {
  kNone,    // no value: a long switch (--svg)
  kLetter,  // its first character, upper-cased; the rest is ignored (-p=text is -p=T)
  kNumber,  // a decimal number, read as the C library reads one (-b3= is 0)
  kText,    // the whole rest, as typed
  // The whole rest, or nothing: a long option that may be given alone (--partitions) or with a
  // value (--partitions=nexus).
  kOptionalText,
};

// The value of one argument as its setter receives it.
struct OptionValue {
  char letter = '\0';       // kLetter
  std::int32_t number = 0;  // kNumber
  std::string_view text;    // kText and kOptionalText; empty for kNone
  bool given = false;       // a '=' followed the name (kOptionalText: a value was written)
};

// A value an option takes from a table elsewhere in the program (the output formats).
struct NamedValue {
  std::string_view name;   // as typed after the '='
  std::string_view about;  // what --help says of it; empty: nothing
};

// A command line that asks about the program instead of for a run: --version or --help.
enum class Standalone { kNone, kPrintVersion, kPrintHelp };

// What the setters of one command line share beyond the run state.
struct OptionContext {
  RunState& st;
  Writer& out;            // the warnings of refused short values, on standard output as always
  bool b0_given = false;  // a -b0 was accepted: a later -b4 leaves b0 as it is
  // --help or --version after the input, the first of them: printed instead of any run.
  Standalone standalone = Standalone::kNone;
};

struct OptionRow {
  // As typed up to its value: "-b1", "--outdir". A short name (one '-') is followed by '=' right
  // after it; a long one by '=' or nothing.
  std::string_view name;
  // The value as --help shows it after the '=' ("P|D|C", "DIR"); empty for kNone and for an
  // option whose values come from a table (values).
  std::string_view shown;
  ValueKind kind;
  OptionStage stage;
  // Applies the value and returns why it is refused, or an empty text when it is taken. A short
  // option's refusal also prints its warning on standard output.
  std::string (*apply)(OptionContext& context, const OptionValue& value);
  // The description in --help; a '\n' starts a continuation line, and "{}" stands for the
  // start-up default that `default_of` reads from the state --help is given.
  std::string_view help;
  std::string (*default_of)(const RunState& start) = nullptr;
  // The letters of a short name match in either case; -t and the long names match only as
  // written.
  bool any_case = false;
  // --help describes the row after the next one (b0 after b4, whose value it follows), though
  // the parser tries it first.
  bool help_after_next = false;
  // The values, when a table of the program lists them: --help shows their names joined by '|'
  // after the '=', and under the description a line for each value it says something of.
  std::vector<NamedValue> (*values)() = nullptr;

  bool is_long() const { return name.starts_with("--"); }
  // How the option is written with its value: "--outdir=DIR", "--partitions[=raxml|nexus]".
  std::string written() const;
};

// Every option: the short ones first, in the fixed order in which they are tried against an
// argument (at most one can match), then the long ones in the order --help lists them.
std::span<const OptionRow> option_table();

}  // namespace selvane
