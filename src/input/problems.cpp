#include "input/problems.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "input/formats.h"

namespace selvane {

namespace {

constexpr std::size_t kQuotedLength = 40;

const char kTooFewSequences[] =
    "\nFile not in NBRF/PIR format or too few sequences in the alignment: ";

std::string counted(std::int64_t n, std::string_view one, std::string_view more) {
  return std::to_string(n) + std::string(n == 1 ? one : more);
}

std::string line_of(const ReadProblem& problem) {
  return "line " + std::to_string(problem.line) + ": ";
}

// "sequence 3 ("name")".
std::string sequence_named(const ReadProblem& problem) {
  return "sequence " + std::to_string(problem.sequence) + " (" + quoted(problem.text) + ")";
}

// "NBRF/PIR, FASTA, ... or PHYLIP".
std::string every_format() {
  std::string titles;
  const auto rows = input_formats();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) titles += i + 1 == rows.size() ? " or " : ", ";
    titles += rows[i]->title;
  }
  return titles;
}

// The message and detail of a problem of the formats read with --in-format.
[[noreturn]] void stop_in_format(const ReadProblem& problem, const std::string& path,
                                 LineEnds ends) {
  const std::string message = "\nFile not in " + std::string(problem.format) + " format";
  const std::string at = line_of(problem);
  const std::string count = std::to_string(problem.count);
  const std::string expected = std::to_string(problem.expected);
  const std::string block = std::to_string(problem.block);
  std::string what;
  switch (problem.kind) {
    case ReadProblemKind::kBadHeader:
      what = problem.text.empty() ? "the file holds no " + problem.expected_text
                                  : at + quoted(problem.text) + " is not " + problem.expected_text;
      break;
    case ReadProblemKind::kLengthVsHeader:
      what = at + sequence_named(problem) + " has " + count + " positions; the header announces " +
             expected;
      break;
    case ReadProblemKind::kLengthVsBlock:
      what = at + sequence_named(problem) + " has " + count + " positions in block " + block +
             ", whose first line has " + expected;
      break;
    case ReadProblemKind::kCountVsHeader:
      what = at + counted(problem.count, " sequence", " sequences") +
             " read; the header announces " + expected;
      break;
    case ReadProblemKind::kBlockUnended:
      what = at + "block " + block + " ends after " + count + " of its " + expected + " lines";
      break;
    case ReadProblemKind::kWrongName:
      what = at + "block " + block + " gives " + quoted(problem.text) + " where sequence " +
             std::to_string(problem.sequence) + " (" + quoted(problem.expected_text) + ") is due";
      break;
    case ReadProblemKind::kUnknownName:
      what = at + quoted(problem.text) + " names no sequence of the first block";
      break;
    case ReadProblemKind::kAfterEnd:
      what = at + quoted(problem.text) + " follows the end of the alignment";
      break;
    case ReadProblemKind::kUnended:
      what = at + "the file ends without " + problem.expected_text;
      break;
    case ReadProblemKind::kUnsupported:
      what = at + quoted(problem.text) + " is not read by selvane";
      break;
    default:
      what = at + "unreadable";
      break;
  }
  fatal(message, file_detail(path, ends, what));
}

}  // namespace

std::string quoted(std::string_view text) {
  if (text.size() <= kQuotedLength) return in_quotes(text);
  // Cut between two UTF-8 characters, not inside one.
  std::size_t length = kQuotedLength;
  while (length > kQuotedLength - 3 && (static_cast<unsigned char>(text[length]) & 0xc0) == 0x80) {
    --length;
  }
  std::string cut(text.substr(0, length));
  cut += "...";
  return in_quotes(cut);
}

std::string file_detail(const std::string& path, LineEnds ends, std::string_view what) {
  std::string detail = path + ": ";
  if (ends == LineEnds::kCr) {
    detail +=
        "its lines end in a carriage return alone, so it reads as one line; convert the line "
        "ends to line feeds (tr '\\r' '\\n')";
  } else {
    detail += what;
  }
  return detail;
}

void stop_reading(const ReadProblem& problem, const std::string& path, LineEnds ends) {
  const auto detail = [&](std::string_view what) { return file_detail(path, ends, what); };
  // The detail of a problem of the first line that is not blank: what is wrong with it.
  const auto first_line = [&](std::string_view wrong) {
    return detail(problem.text.empty()
                      ? std::string("the file is empty or holds only blank lines")
                      : "its first line " + quoted(problem.text) + " " + std::string(wrong));
  };
  const std::string sequence = std::to_string(problem.sequence);
  switch (problem.kind) {
    case ReadProblemKind::kNoFormat:
      fatal("\nSequence not in NBRF/PIR or FASTA format",
            first_line("is no FASTA or NBRF/PIR header (they begin with '>')"),
            problem.format.empty() ? std::string()
                                   : path + ": it looks like a " + std::string(problem.format) +
                                         " file: --in-format=" + problem.expected_text +
                                         " (or --in-format=auto) reads it");
    case ReadProblemKind::kNotInFormat: {
      const InputFormatRow* row = find_input_format(std::string_view(problem.expected_text));
      fatal("\nFile not in " + std::string(problem.format) + " format",
            first_line("is not " + std::string(row != nullptr ? row->opening : "its first line")));
    }
    case ReadProblemKind::kNoKnownFormat:
      fatal("\nFile not in " + every_format() + " format",
            first_line("opens none of these formats"));
    case ReadProblemKind::kPirWithoutType:
      fatal(
          "\nSequence not in correct NBRF/PIR format: a D (for DNA or rRNA sequences) or a P "
          "(for protein sequences) is missing after the symbol > in the name line",
          detail("its first header " + quoted(problem.text) +
                 " has ';' as its fourth character, so it is read as NBRF/PIR, which needs P "
                 "(protein) or D (DNA) right after the '>'"));
    case ReadProblemKind::kNameTooLong:
      fatal(
          "\nSequence name too long",
          detail("the name of sequence " + sequence + " (" + quoted(problem.text) + ") is " +
                 std::to_string(problem.count) + " characters long; at most " +
                 std::to_string(problem.expected) + " fit here (--long-names accepts any length)"));
    case ReadProblemKind::kNotPirEntry:
      fatal(
          "\nSequence not in NBRF/PIR format",
          detail("the line " + quoted(problem.text) +
                 (problem.sequence <= 1 ? std::string(" at the start")
                                        : " after entry " + std::to_string(problem.sequence - 1)) +
                 " does not begin with '>' (an entry ends at its '*')"));
    case ReadProblemKind::kPirEntryUnended:
      fatal("\nFile not in NBRF/PIR format",
            detail("the file ends inside sequence " + sequence + ", before its '*'"));
    case ReadProblemKind::kUnequalLengths:
      fatal("\nSequences with different number of positions",
            detail("sequence " + sequence + " (" + quoted(problem.text) + ") has " +
                   std::to_string(problem.count) + " positions, but sequence 1 (" +
                   quoted(problem.expected_text) + ") has " + std::to_string(problem.expected)));
    case ReadProblemKind::kBadHeader:
    case ReadProblemKind::kLengthVsHeader:
    case ReadProblemKind::kLengthVsBlock:
    case ReadProblemKind::kCountVsHeader:
    case ReadProblemKind::kBlockUnended:
    case ReadProblemKind::kWrongName:
    case ReadProblemKind::kUnknownName:
    case ReadProblemKind::kAfterEnd:
    case ReadProblemKind::kUnended:
    case ReadProblemKind::kUnsupported:
      stop_in_format(problem, path, ends);
    case ReadProblemKind::kNoInput:
      fatal_number(
          kTooFewSequences, 0,
          (path.empty() ? std::string() : path + ": ") + "no alignment was read: no input is open");
    case ReadProblemKind::kTooFewSequences:
      fatal_number(kTooFewSequences, problem.count,
                   detail(counted(problem.count, " sequence", " sequences") +
                          " read; an alignment needs at least 2"));
    case ReadProblemKind::kTooFewPositions:
      fatal_number(
          "\nToo few positions in the alignment (at least two positions are necessary): ",
          problem.count,
          detail(counted(problem.count, " position is", " positions are") +
                 " left once the columns that are gaps in every sequence are removed; at least "
                 "2 are needed"));
  }
  fatal("\nFile not read", path);  // every kind is worded above
}

std::string not_opened_detail(std::string_view role, const std::string& path, int error,
                              std::string_view not_regular) {
  std::string detail("cannot open ");
  detail += role;
  detail += " \"";
  detail += path;  // whole: a path cut short would name another file
  detail += '"';
  if (!not_regular.empty()) {
    detail += ": it is ";
    detail += not_regular;
    detail += ", not a regular file";
  } else if (error != 0) {
    detail += ": ";
    detail += std::strerror(error);
  }
  return detail;
}

BlockReader open_or_stop(const std::string& path, std::string_view role) {
  std::string not_regular;
  std::optional<BlockReader> in = BlockReader::open(path, &not_regular);
  if (!in) fatal("\nFile not opened", not_opened_detail(role, path, errno, not_regular));
  return std::move(*in);
}

}  // namespace selvane
