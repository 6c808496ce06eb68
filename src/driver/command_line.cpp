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

namespace selvane {

namespace {

// Character i of the argument, or NUL past its end (the argument ends at its terminator).
char at(std::string_view arg, std::size_t i) {
  return i < arg.size() ? arg[i] : '\0';
}

char lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A number value as a decimal conversion reads it: leading white space, an optional sign,
// then digits up to the first non-digit; no digits read as 0. A value beyond the 32-bit range
// reads as the nearest 32-bit value, which every range check refuses.
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

// Whether a short option argument starts with the row's name, whatever follows: '-', then the
// letter (in either case when the row allows it) and the digit of b0 to b6.
bool starts_with_short_name(const OptionRow& row, std::string_view arg) {
  if (row.is_long() || at(arg, 0) != '-') return false;
  for (std::size_t i = 1; i < row.name.size(); ++i) {
    const char c = row.any_case ? lower(at(arg, i)) : at(arg, i);
    if (c != row.name[i]) return false;
  }
  return true;
}

// Whether the argument is written for the row: a short name followed by '=' right after it, a
// long name followed by '=' or nothing.
bool names(const OptionRow& row, std::string_view arg) {
  if (row.is_long()) return arg.substr(0, arg.find('=')) == row.name;
  return starts_with_short_name(row, arg) && at(arg, row.name.size()) == '=';
}

// The row the argument is written for, in the order rows are tried; nullptr for none.
const OptionRow* row_named(std::string_view arg) {
  // A long name is never taken for a short one: "--b5=h" names no row.
  const bool long_form = arg.starts_with("--");
  for (const OptionRow& row : option_table()) {
    if (row.is_long() == long_form && names(row, arg)) return &row;
  }
  return nullptr;
}

// Why an argument that names no row is ignored.
std::string ignored_because(std::string_view arg) {
  constexpr std::string_view kForm = "options are written -name=value, without blanks";
  if (arg.starts_with("--")) {
    std::string reason = "unknown option";
    // "--b5=h" for "-b5=h": the short option is the likelier wish.
    const std::string_view shorter = arg.substr(1);
    if (!shorter.starts_with("--") && row_named(shorter) != nullptr) {
      reason += "; did you mean " + std::string(shorter) + "?";
    }
    return reason;
  }
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
  const std::span<const OptionRow> rows = option_table();
  if (std::any_of(rows.begin(), rows.end(),
                  [&](const OptionRow& row) { return row.is_long() && row.name == doubled; })) {
    return "unknown option; did you mean -" + std::string(arg) + "?";
  }
  if (std::any_of(rows.begin(), rows.end(),
                  [&](const OptionRow& row) { return starts_with_short_name(row, arg); })) {
    return std::string(kForm);
  }
  if (at(arg, 1) == 'T') return "unknown option (the sequence type is -t, in lower case)";
  return "unknown option";
}

// The value written after the row's name, as its kind reads it; `given`: a '=' followed it.
OptionValue value_of(const OptionRow& row, std::string_view rest, bool given) {
  OptionValue value;
  value.given = given;
  switch (row.kind) {
    case ValueKind::kLetter:
      value.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(at(rest, 0))));
      break;
    case ValueKind::kNumber:
      value.number = read_number(rest);
      break;
    case ValueKind::kText:
    case ValueKind::kOptionalText:
      value.text = rest;
      break;
    case ValueKind::kNone:
      break;
  }
  return value;
}

// Applies one argument written for `row`; returns what was wrong with it, if anything.
std::optional<ArgumentProblem> apply_row(OptionContext& context, const OptionRow& row,
                                         std::string_view arg) {
  const bool has_value = arg.size() > row.name.size();  // names() put a '=' there
  const std::string_view rest = has_value ? arg.substr(row.name.size() + 1) : std::string_view();
  const std::string written(row.name);
  if (row.kind == ValueKind::kNone && has_value) {
    return ArgumentProblem{std::string(arg), written + " takes no value"};
  }
  // A short option always has its '='; a long one without it lacks its value.
  if (row.kind != ValueKind::kNone && row.kind != ValueKind::kOptionalText && !has_value) {
    return ArgumentProblem{std::string(arg), "it is written " + row.written()};
  }
  std::string refused = row.apply(context, value_of(row, rest, has_value));
  if (refused.empty()) return std::nullopt;
  return ArgumentProblem{std::string(arg), std::move(refused), true};
}

OptionStage stage_of(const OptionRow* row) {
  return row != nullptr ? row->stage : OptionStage::kAfterInput;
}

}  // namespace

OptionPass::OptionPass(RunState& st, Writer& out, std::span<const std::string_view> options)
    : context_{st, out}, options_(options), problems_(options.size()) {}

void OptionPass::apply(OptionStage stage) {
  for (std::size_t i = 0; i < options_.size(); ++i) {
    const std::string_view arg = options_[i];
    const OptionRow* row = row_named(arg);
    if (stage_of(row) != stage) continue;
    if (row == nullptr) {
      problems_[i] = ArgumentProblem{std::string(arg), ignored_because(arg)};
    } else {
      problems_[i] = apply_row(context_, *row, arg);
    }
  }
}

Standalone OptionPass::standalone() const {
  return context_.standalone;
}

std::vector<ArgumentProblem> OptionPass::problems() const {
  std::vector<ArgumentProblem> problems;
  for (const std::optional<ArgumentProblem>& problem : problems_) {
    if (problem) problems.push_back(*problem);
  }
  return problems;
}

std::vector<ArgumentProblem> parse_options(RunState& st, std::span<const std::string_view> options,
                                           Writer& out) {
  OptionPass pass(st, out, options);
  pass.apply(OptionStage::kBeforeInput);
  pass.apply(OptionStage::kAfterInput);
  return pass.problems();
}

}  // namespace selvane
