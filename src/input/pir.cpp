// NBRF/PIR: each entry is a header line (">P1;" and the name), a description line and the
// residues up to a '*'.
#include <algorithm>
#include <string>
#include <string_view>

#include "input/formats.h"

namespace selvane {

namespace {

// A header with ';' fourth is NBRF/PIR; only the letter after '>' tells the type (the one
// before ';' is never looked at).
Sniffed sniff_pir(std::string_view first_line) {
  if (!first_line.starts_with('>') || first_line.size() < 4 || first_line[3] != ';') return {};
  switch (first_line[1]) {
    case 'P':
      return Sniffed::as(SeqType::kProtein);
    case 'D':
      return Sniffed::as(SeqType::kDna);
    default:
      return Sniffed::wrong(ReadProblemKind::kPirWithoutType);
  }
}

std::optional<ReadProblem> read_pir(BlockReader& in, SequenceSink& sink,
                                    const ReadOptions& options) {
  std::string line;
  bool ended = false;
  for (std::int64_t at = in.line(); in.read_line(line, &ended); at = in.line()) {
    // Blank lines, lines that begin with a space and a lone '*' separate entries.
    if (line.empty() || line[0] == ' ' || (line == "*" && ended)) continue;
    if (auto problem =
            header_too_long(sink, line, ended, line[0] == '>' ? 4 : 0, options.long_names, at)) {
      return problem;
    }
    if (line[0] != '>') {
      return ReadProblem(ReadProblemKind::kNotPirEntry, at, sink.next_index(), line);
    }
    // The marker (">P1;" and the like) is dropped unseen. A header shorter than a marker, line
    // end included, is kept whole.
    if (line.size() + (ended ? 1 : 0) < 4) {
      sink.begin_sequence(line);
    } else {
      sink.begin_sequence(std::string_view(line).substr(std::min<std::size_t>(4, line.size())));
    }
    in.skip_line();  // the description line, however long
    if (!sink.scan(in, '*')) {
      return ReadProblem(ReadProblemKind::kPirEntryUnended, at, sink.next_index());
    }
    if (auto problem = sink.end_sequence(at)) return problem;
    // What follows the '*' on its line is read as the next line.
  }
  return std::nullopt;
}

}  // namespace

extern const InputFormatRow kPirFormat = {
    InputFormat::kPir, "pir",   "NBRF/PIR", "a header line such as '>P1;NAME' or '>DL;NAME'", true,
    sniff_pir,         read_pir};

}  // namespace selvane
