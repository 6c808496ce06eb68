// Stockholm: "# STOCKHOLM 1.0", then lines of a sequence's name and a stretch of its residues,
// in one block or several; lines that begin with '#' (#=GF, #=GS, #=GR, #=GC markup) are
// annotation; "//" ends the alignment. A name ("O83071/192-246") is kept whole; '.' is a gap.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "input/formats.h"
#include "input/line_formats.h"

namespace selvane {

namespace {

bool stockholm_header(std::string_view line) {
  return line.starts_with("# STOCKHOLM");
}

Sniffed sniff_stockholm(std::string_view first_line) {
  return stockholm_header(first_line) ? Sniffed::as(SeqType::kUnknown) : Sniffed();
}

std::optional<ReadProblem> read_stockholm(BlockReader& in, SequenceSink& sink,
                                          const ReadOptions& options) {
  LineReader lines(in);
  Line line;
  const bool found = first_nonblank(lines, line);
  if (!found || !stockholm_header(line.text)) return bad_header(line, found, "'# STOCKHOLM 1.0'");
  std::vector<std::string> names;
  std::unordered_map<std::string, std::int32_t> numbers;  // of the names
  // Where the next line's name most likely stands: blocks give the sequences in one order.
  std::size_t next = 0;
  bool expected = false;  // the rows' room was made, once the first block has ended
  bool ended = false;
  while (lines.next(line)) {
    const std::string_view text = line.text;
    if (ended) {
      if (blank_line(text)) continue;
      if (!stockholm_header(text)) {
        return ReadProblem(ReadProblemKind::kAfterEnd, line.number, 0, std::string(line.text));
      }
      sink.further_alignment(line.number);
      break;
    }
    if (text.starts_with("//")) {
      ended = true;
      continue;
    }
    if (text.empty() || text[0] == '#' || blank_line(text)) continue;
    const std::size_t start = skip_blanks(text, 0);
    const std::size_t name_end = word_end(text, start);
    const std::string_view name = text.substr(start, name_end - start);
    std::int32_t s = 0;
    if (next < names.size() && names[next] == name) {
      s = static_cast<std::int32_t>(next + 1);
    } else if (const auto known = numbers.find(std::string(name)); known != numbers.end()) {
      s = known->second;
      if (!expected) sink.expect_rows(static_cast<std::int32_t>(names.size()), 0);
      expected = true;
    } else {
      if (auto problem = name_too_long(sink, name, options.long_names, line.number)) {
        return problem;
      }
      s = sink.next_index();
      names.emplace_back(name);
      numbers.emplace(name, s);
      sink.add_row(name);
    }
    next = static_cast<std::size_t>(s) == names.size() ? 0 : static_cast<std::size_t>(s);
    sink.append(s, text.substr(name_end));
  }
  if (!ended) return unended(line.number - 1, "the line '//' that ends the alignment");
  return sink.end_rows();
}

}  // namespace

extern const InputFormatRow kStockholmFormat = {
    InputFormat::kStockholm, "stockholm",   "Stockholm", "the line '# STOCKHOLM 1.0'", false,
    sniff_stockholm,         read_stockholm};

}  // namespace selvane
