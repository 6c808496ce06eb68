#include "driver/command_line.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "core/setting_rules.h"
#include "driver/long_options.h"

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
  bool (*apply)(Parse&, const Value&);  // false: the value was refused
};

// A Y/N switch: sets the switch or prints the option's warning.
template <bool OutputSwitches::*Switch, char Name>
bool yes_no(Parse& p, const Value& v) {
  if (const std::optional<bool> on = yes_no_from_letter(v.letter)) {
    p.st.outputs.*Switch = *on;
    return true;
  }
  p.out.printf("\nWARNING: Parameter -%c not properly entered. It has to be Y (Yes) or N (No)\n",
               Name);
  return false;
}

// A batch concatenation switch: Y also fixes b1 and b2 for the whole batch.
template <bool OutputSwitches::*Switch, char Name>
bool concatenation(Parse& p, const Value& v) {
  const bool accepted = yes_no<Switch, Name>(p, v);
  if (yes_no_from_letter(v.letter).value_or(false)) p.st.input.tog_sub = true;
  return accepted;
}

bool set_type(Parse& p, const Value& v) {
  if (const std::optional<SeqType> type = seq_type_from_letter(v.letter)) {
    p.st.params.seq_type = *type;
    p.st.input.type_chosen = true;
    return true;
  }
  line(p.out,
       "\nWARNING: Parameter -t not properly entered. It has to be P (Proteins), C (Codons) or D "
       "(DNA)");
  return false;
}

bool set_b1(Parse& p, const Value& v) {
  RunState& st = p.st;
  const RangeVerdict verdict = check_negval(v.number, st.params, st.input.numseq);
  if (verdict.accepted()) {
    st.params.negval = v.number;
    st.input.tog_sub = true;
    st.input.negval_set = true;
    st.input.refused_negval.reset();
    return true;
  }
  st.input.refused_negval = {v.number, st.params.initnegval, st.params.flankval};
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
  return false;
}

bool set_b2(Parse& p, const Value& v) {
  RunState& st = p.st;
  const RangeVerdict verdict = check_flankval(v.number, st.params, st.input.numseq);
  if (verdict.accepted()) {
    st.params.flankval = v.number;
    st.input.tog_sub = true;
    st.input.flankval_set = true;
    st.input.flankval_lowest = false;
    st.input.refused_flankval.reset();
    return true;
  }
  // On the command line 0 (or a value without digits) asks for the lowest b2 there is: taken,
  // with a warning that says what it became.
  if (v.number == 0) {
    st.params.flankval = st.params.negval;
    st.input.flankval_set = false;
    st.input.flankval_lowest = true;
    st.input.refused_flankval.reset();
    line(p.out,
         "\nWARNING: minimum number of sequences for a flank position set to the minimum possible "
         "value.");
    return true;
  }
  st.input.refused_flankval = {v.number, st.params.negval, st.input.numseq};
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
  return false;
}

bool set_b3(Parse& p, const Value& v) {
  if (check_negblen(v.number).accepted()) {
    p.st.params.negblen = v.number;
    return true;
  }
  line(p.out, "\nWARNING: Parameter -b3 not properly entered.");
  return false;
}

// The command line asks the same minimum of every sequence type, codons included.
bool block_length_refused(Parse& p, char digit, const RangeVerdict& verdict) {
  p.out.printf("\nWARNING: Parameter -b%c not properly entered.\n", digit);
  if (verdict.too_low) line(p.out, "The minimum length of a block must be 2 or bigger");
  return false;
}

bool set_b0(Parse& p, const Value& v) {
  const RangeVerdict verdict = check_block_length(v.number);
  if (!verdict.accepted()) return block_length_refused(p, '0', verdict);
  p.st.params.posblen = v.number;
  p.b0_given = true;
  return true;
}

bool set_b4(Parse& p, const Value& v) {
  const RangeVerdict verdict = check_block_length(v.number);
  if (!verdict.accepted()) return block_length_refused(p, '4', verdict);
  p.st.params.posblen2 = v.number;
  if (!p.b0_given) p.st.params.posblen = v.number;
  return true;
}

bool set_b5(Parse& p, const Value& v) {
  if (const std::optional<GapPolicy> gaps = gap_policy_from_letter(v.letter)) {
    p.st.params.tog_gaps = *gaps;
    return true;
  }
  line(p.out,
       "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With Half) or "
       "A (All)");
  return false;
}

bool set_b6(Parse& p, const Value& v) {
  if (const std::optional<bool> on = yes_no_from_letter(v.letter)) {
    p.st.params.tog_sim = *on;
    return true;
  }
  line(p.out, "\nWARNING: Parameter -b6 not properly entered. It has to be Y (Yes) or N (No)");
  return false;
}

bool set_extension(Parse& p, const Value& v) {
  if (check_extension(v.text) == ExtensionVerdict::kAccepted) {
    p.st.outputs.exten = std::string(v.text);
    return true;
  }
  line(p.out, "\nWARNING: Parameter -e not properly entered.");
  line(p.out, "The string has to have 5 characters maximum");
  return false;
}

bool set_results(Parse& p, const Value& v) {
  if (const std::optional<ResultsForm> form = results_form_from_letter(v.letter)) {
    p.st.outputs.tog_viewfile = *form;
    return true;
  }
  line(p.out,
       "\nWARNING: Parameter -p not properly entered. It has to be Y (Yes, HTML), N (No), T "
       "(Text) or S (Short)");
  return false;
}

bool set_breakcount(Parse& p, const Value& v) {
  if (check_breakcount(v.number).accepted()) {
    p.st.outputs.breakcount = v.number;
    return true;
  }
  line(p.out, "\nWARNING: Parameter -v not properly entered. It must be between 50 and 32000");
  return false;
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

// Whether `arg` starts with the option's name (its letter, and digit for b0 to b6), whatever
// follows.
bool starts_with_name(const Option& option, std::string_view arg) {
  const char c1 = at(arg, 1);
  // 't' alone is case-sensitive.
  const bool letter_matches = option.letter == 't'
                                  ? c1 == 't'
                                  : std::tolower(static_cast<unsigned char>(c1)) == option.letter;
  return letter_matches && (option.digit == '\0' || at(arg, 2) == option.digit);
}

bool names(const Option& option, std::string_view arg) {
  return starts_with_name(option, arg) && at(arg, option.digit == '\0' ? 2 : 3) == '=';
}

// Why an argument that matched no option is ignored.
std::string ignored_because(std::string_view arg) {
  constexpr std::string_view kForm = "options are written -name=value, without blanks";
  if (at(arg, 0) != '-') {
    // The input is a file; so may a stray argument be, given after it by mistake.
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::string(arg), ec)) {
      return std::string(kForm) + "; the input must be the first argument";
    }
    return std::string(kForm);
  }
  // "-strict" for "--strict".
  // Appended rather than "-" + string: GCC 12 at -O3 mistakes that sum for overlapping copies.
  std::string doubled = "-";
  doubled.append(arg.substr(0, arg.find('=')));
  for (const LongOption& option : long_options()) {
    if (option.name == doubled) return "unknown option; did you mean -" + std::string(arg) + "?";
  }
  for (const Option& option : kOptions) {
    if (starts_with_name(option, arg)) return std::string(kForm);
  }
  if (at(arg, 1) == 'T') return "unknown option (the sequence type is -t, in lower case)";
  return "unknown option";
}

// Applies one short option argument; false when it matched no option.
bool apply_short(Parse& parse, std::string_view arg, bool& accepted) {
  for (const Option& option : kOptions) {
    if (!names(option, arg)) continue;
    const std::size_t value_at = option.digit == '\0' ? 3 : 4;
    const std::string_view rest = arg.size() > value_at ? arg.substr(value_at) : std::string_view();
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
    accepted = option.apply(parse, value);
    return true;
  }
  return false;
}

}  // namespace

std::vector<ArgumentProblem> parse_options(RunState& st, std::span<const std::string_view> options,
                                           Writer& out) {
  Parse parse{st, out};
  std::vector<ArgumentProblem> problems;
  for (const std::string_view arg : options) {
    if (arg.starts_with("--")) {
      LongOutcome outcome = apply_long_option(st, arg);
      if (outcome.matched) continue;
      // "--b5=h" for "-b5=h": the short option is the likelier wish.
      const std::string_view shorter = arg.substr(1);
      if (outcome.unknown &&
          std::any_of(std::begin(kOptions), std::end(kOptions),
                      [&](const Option& option) { return names(option, shorter); })) {
        outcome.problem += "; did you mean " + std::string(shorter) + "?";
      }
      problems.push_back({std::string(arg), std::move(outcome.problem), outcome.refused});
      continue;
    }
    bool accepted = true;
    if (!apply_short(parse, arg, accepted)) {
      problems.push_back({std::string(arg), ignored_because(arg), false});
    } else if (!accepted) {
      problems.push_back({std::string(arg),
                          "the setting keeps its value (the warning on standard output says why)",
                          true});
    }
  }
  return problems;
}

}  // namespace selvane
