#include "driver/command_line.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "core/setting_rules.h"

namespace selvane {

namespace {

// Character i of the argument, or NUL past its end (the argument ends at its terminator).
char at(std::string_view arg, std::size_t i) {
  return i < arg.size() ? arg[i] : '\0';
}

char upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// A number value as a decimal conversion reads it: leading white space, an optional sign,
// then digits up to the first non-digit; no digits read as 0. A value beyond the 32-bit range
// reads as the nearest 32-bit value, which every range check below refuses.
std::int32_t read_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{INT32_MAX} + 1) value = std::int64_t{INT32_MAX} + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

void line(Writer& out, std::string_view text) {
  out.write(text);
  out.put('\n');
}

enum class Kind { kLetter, kNumber, kText };

// What one option argument carries once it has matched an option.
struct Value {
  char letter = '\0';       // kLetter: the first character after '=', upper-cased
  std::int32_t number = 0;  // kNumber
  std::string_view text;    // kText: everything after '='
};

// State of one command line beyond the run state: whether -b0 was accepted.
struct Parse {
  RunState& st;
  Writer& out;
  bool b0_given = false;
};

struct Option {
  char letter;  // option letter (compared without case, except 't')
  char digit;   // block parameter digit, '\0' for the one-letter options
  Kind kind;
  void (*apply)(Parse&, const Value&);
};

// A Y/N switch: sets the switch or prints the option's warning.
template <bool OutputSwitches::*Switch, char Name>
void yes_no(Parse& p, const Value& v) {
  if (const std::optional<bool> on = yes_no_from_letter(v.letter)) {
    p.st.outputs.*Switch = *on;
  } else {
    p.out.printf("\nWARNING: Parameter -%c not properly entered. It has to be Y (Yes) or N (No)\n",
                 Name);
  }
}

// A batch concatenation switch: Y also fixes b1 and b2 for the whole batch.
template <bool OutputSwitches::*Switch, char Name>
void concatenation(Parse& p, const Value& v) {
  yes_no<Switch, Name>(p, v);
  if (yes_no_from_letter(v.letter).value_or(false)) p.st.input.tog_sub = true;
}

void set_type(Parse& p, const Value& v) {
  if (const std::optional<SeqType> type = seq_type_from_letter(v.letter)) {
    p.st.params.seq_type = *type;
  } else {
    line(p.out,
         "\nWARNING: Parameter -t not properly entered. It has to be P (Proteins), C (Codons) or D "
         "(DNA)");
  }
}

void set_b1(Parse& p, const Value& v) {
  RunState& st = p.st;
  const RangeVerdict verdict = check_negval(v.number, st.params, st.input.numseq);
  if (verdict.accepted()) {
    st.params.negval = v.number;
    st.input.tog_sub = true;
    st.input.negval_set = true;
    return;
  }
  line(p.out, "\nWARNING: Parameter -b1 not properly entered.");
  if (verdict.too_low) {
    p.out.printf(
        "The minimum number of sequences for a conserved position must be bigger than or equal "
        "to %i (half the number of sequences + 1)\n",
        st.params.initnegval);
  }
  if (verdict.too_high) {
    line(p.out,
         "The minimum number of sequences for a conserved position must be lower than or equal "
         "to the minimum number of sequences for a flank position");
  }
}

void set_b2(Parse& p, const Value& v) {
  RunState& st = p.st;
  const RangeVerdict verdict = check_flankval(v.number, st.params, st.input.numseq);
  if (verdict.accepted()) {
    st.params.flankval = v.number;
    st.input.tog_sub = true;
    st.input.flankval_set = true;
    return;
  }
  // On the command line 0 (or a value without digits) asks for the lowest b2 there is.
  if (v.number == 0) {
    st.params.flankval = st.params.negval;
    line(p.out,
         "\nWARNING: minimum number of sequences for a flank position set to the minimum possible "
         "value.");
    return;
  }
  line(p.out, "\nWARNING: Parameter -b2 not properly entered.");
  if (verdict.too_high) {
    p.out.printf(
        "The minimum number of sequences for a flank position must be lower than or equal to %i "
        "(the number of sequences)\n",
        st.input.numseq);
  }
  if (verdict.too_low) {
    line(p.out,
         "The minimum number of sequences for a flank position must be bigger than or equal to "
         "the minimum number of sequences for a conserved position");
  }
}

void set_b3(Parse& p, const Value& v) {
  if (check_negblen(v.number).accepted()) {
    p.st.params.negblen = v.number;
  } else {
    line(p.out, "\nWARNING: Parameter -b3 not properly entered.");
  }
}

// The command line asks the same minimum of every sequence type, codons included.
void block_length_refused(Parse& p, char digit, const RangeVerdict& verdict) {
  p.out.printf("\nWARNING: Parameter -b%c not properly entered.\n", digit);
  if (verdict.too_low) line(p.out, "The minimum length of a block must be 2 or bigger");
}

void set_b0(Parse& p, const Value& v) {
  const RangeVerdict verdict = check_block_length(v.number);
  if (verdict.accepted()) {
    p.st.params.posblen = v.number;
    p.b0_given = true;
  } else {
    block_length_refused(p, '0', verdict);
  }
}

void set_b4(Parse& p, const Value& v) {
  const RangeVerdict verdict = check_block_length(v.number);
  if (verdict.accepted()) {
    p.st.params.posblen2 = v.number;
    if (!p.b0_given) p.st.params.posblen = v.number;
  } else {
    block_length_refused(p, '4', verdict);
  }
}

void set_b5(Parse& p, const Value& v) {
  if (const std::optional<GapPolicy> gaps = gap_policy_from_letter(v.letter)) {
    p.st.params.tog_gaps = *gaps;
  } else {
    line(p.out,
         "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With Half) or "
         "A (All)");
  }
}

void set_b6(Parse& p, const Value& v) {
  if (const std::optional<bool> on = yes_no_from_letter(v.letter)) {
    p.st.params.tog_sim = *on;
  } else {
    line(p.out, "\nWARNING: Parameter -b6 not properly entered. It has to be Y (Yes) or N (No)");
  }
}

void set_extension(Parse& p, const Value& v) {
  if (check_extension(v.text) == ExtensionVerdict::kAccepted) {
    p.st.outputs.exten = std::string(v.text);
  } else {
    line(p.out, "\nWARNING: Parameter -e not properly entered.");
    line(p.out, "The string has to have 5 characters maximum");
  }
}

void set_results(Parse& p, const Value& v) {
  if (const std::optional<ResultsForm> form = results_form_from_letter(v.letter)) {
    p.st.outputs.tog_viewfile = *form;
  } else {
    line(p.out,
         "\nWARNING: Parameter -p not properly entered. It has to be Y (Yes, HTML), N (No), T "
         "(Text) or S (Short)");
  }
}

void set_breakcount(Parse& p, const Value& v) {
  if (check_breakcount(v.number).accepted()) {
    p.st.outputs.breakcount = v.number;
  } else {
    line(p.out, "\nWARNING: Parameter -v not properly entered. It must be between 50 and 32000");
  }
}

// The options in the fixed order in which they are tried; at most one matches an argument.
constexpr Option kOptions[] = {
    {'t', '\0', Kind::kLetter, set_type},
    {'b', '1', Kind::kNumber, set_b1},
    {'b', '2', Kind::kNumber, set_b2},
    {'b', '3', Kind::kNumber, set_b3},
    {'b', '0', Kind::kNumber, set_b0},
    {'b', '4', Kind::kNumber, set_b4},
    {'b', '5', Kind::kLetter, set_b5},
    {'b', '6', Kind::kLetter, set_b6},
    {'e', '\0', Kind::kText, set_extension},
    {'s', '\0', Kind::kLetter, yes_no<&OutputSwitches::tog_seqfile, 's'>},
    {'p', '\0', Kind::kLetter, set_results},
    {'k', '\0', Kind::kLetter, yes_no<&OutputSwitches::tog_maskfile, 'k'>},
    {'d', '\0', Kind::kLetter, yes_no<&OutputSwitches::tog_psfile, 'd'>},
    {'n', '\0', Kind::kLetter, yes_no<&OutputSwitches::tog_ncbfile, 'n'>},
    {'u', '\0', Kind::kLetter, yes_no<&OutputSwitches::tog_ungappedfile, 'u'>},
    {'a', '\0', Kind::kLetter, concatenation<&OutputSwitches::tog_allfile, 'a'>},
    {'c', '\0', Kind::kLetter, concatenation<&OutputSwitches::tog_allfile_init, 'c'>},
    {'w', '\0', Kind::kLetter, concatenation<&OutputSwitches::tog_allungfile, 'w'>},
    {'v', '\0', Kind::kNumber, set_breakcount},
};

bool names(const Option& option, std::string_view arg) {
  const char c1 = at(arg, 1);
  // 't' alone is case-sensitive.
  const bool letter_matches = option.letter == 't'
                                  ? c1 == 't'
                                  : std::tolower(static_cast<unsigned char>(c1)) == option.letter;
  if (!letter_matches) return false;
  if (option.digit == '\0') return at(arg, 2) == '=';
  return at(arg, 2) == option.digit && at(arg, 3) == '=';
}

// The long options of the concatenations of a batch; false when `arg` is none of them.
bool join_option(JoinSwitches& join, std::string_view arg) {
  const auto value = [arg](std::string_view name) -> std::optional<std::string> {
    if (!arg.starts_with(name)) return std::nullopt;
    return std::string(arg.substr(name.size()));
  };
  if (arg == "--by-name") {
    join.by_name = true;
  } else if (arg == "--partitions") {
    join.partitions = true;
  } else if (auto sep = value("--taxon-sep=")) {
    join.taxon_sep = std::move(sep);
  } else if (auto regex = value("--taxon-regex=")) {
    join.taxon_regex = std::move(regex);
  } else {
    return false;
  }
  return true;
}

}  // namespace

void parse_options(RunState& st, std::span<const std::string_view> options, Writer& out) {
  Parse parse{st, out};
  for (const std::string_view arg : options) {
    if (arg == kPosixExit) {
      st.outputs.posix_exit = true;
      continue;
    }
    if (join_option(st.outputs.join, arg)) continue;
    // Any other long option matches no row of the table and is ignored without a message,
    // like every argument that names no option.
    if (at(arg, 0) != '-') continue;
    for (const Option& option : kOptions) {
      if (!names(option, arg)) continue;
      const std::size_t value_at = option.digit == '\0' ? 3 : 4;
      const std::string_view rest =
          arg.size() > value_at ? arg.substr(value_at) : std::string_view();
      Value value;
      switch (option.kind) {
        case Kind::kLetter:
          value.letter = upper(at(arg, value_at));
          break;
        case Kind::kNumber:
          value.number = read_number(rest);
          break;
        case Kind::kText:
          value.text = rest;
          break;
      }
      option.apply(parse, value);
      break;
    }
  }
}

}  // namespace selvane
