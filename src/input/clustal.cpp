// Clustal: a header line ("CLUSTAL W (1.83) multiple sequence alignment", or the like from the
// aligners that write the format), then blocks: one line per sequence, its name and a stretch
// of residues, perhaps followed by the number of residues so far. A line that begins with a
// blank (the conservation marks under a block) or a blank line ends a block. The first block
// names the sequences; every later one gives them again, in the same order.
#include <string>
#include <string_view>
#include <vector>

#include "input/formats.h"
#include "input/line_formats.h"

namespace selvane {

namespace {

// How the aligners that write the format begin its first line.
constexpr std::string_view kHeaders[] = {"CLUSTAL", "MUSCLE", "PROBCONS", "MSAPROBS", "Kalign"};

bool clustal_header(std::string_view line) {
  for (const std::string_view header : kHeaders) {
    if (line.starts_with(header)) return true;
  }
  return false;
}

Sniffed sniff_clustal(std::string_view first_line) {
  return clustal_header(first_line) ? Sniffed::as(SeqType::kUnknown) : Sniffed();
}

// The residues of a sequence line after its name: without the count of residues that may end
// it (a last word of digits).
std::string_view residues_of(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && is_blank(text[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
  if (start < end && start > 0 && is_blank(text[start - 1])) end = start;
  return text.substr(0, end);
}

std::optional<ReadProblem> read_clustal(BlockReader& in, SequenceSink& sink,
                                        const ReadOptions& options) {
  LineReader lines(in);
  Line line;
  const bool found = first_nonblank(lines, line);
  if (!found || !clustal_header(line.text)) {
    return bad_header(line, found,
                      "a Clustal header (CLUSTAL, MUSCLE, PROBCONS, MSAPROBS or Kalign)");
  }
  std::vector<std::string> names;  // the first block's
  std::int32_t block = 0;          // blocks begun
  std::int32_t in_block = 0;       // lines of the current block
  const auto block_unended = [&](std::int64_t at) {
    ReadProblem problem(ReadProblemKind::kBlockUnended, at);
    problem.block = block;
    problem.count = in_block;
    problem.expected = static_cast<std::int64_t>(names.size());
    return problem;
  };
  // Ends the current block; a later block must have given every sequence.
  const auto end_block = [&](std::int64_t at) -> std::optional<ReadProblem> {
    if (in_block == 0) return std::nullopt;
    if (block == 1) sink.expect_rows(static_cast<std::int32_t>(names.size()), 0);
    if (block > 1 && static_cast<std::size_t>(in_block) != names.size()) return block_unended(at);
    in_block = 0;
    return std::nullopt;
  };
  std::int64_t last = line.number;  // the last line read
  while (lines.next(line)) {
    last = line.number;
    const std::string_view text = line.text;
    if (text.empty() || is_blank(text[0])) {
      if (auto problem = end_block(line.number)) return problem;
      continue;
    }
    if (clustal_header(text)) {
      sink.further_alignment(line.number);
      break;
    }
    const std::size_t name_end = word_end(text, 0);
    const std::string_view name = text.substr(0, name_end);
    // A block that follows another without a line between them starts with the first name.
    if ((block == 1 && name == names[0]) ||
        (block > 1 && static_cast<std::size_t>(in_block) == names.size())) {
      if (auto problem = end_block(line.number)) return problem;
    }
    if (in_block == 0) ++block;
    const std::string_view residues = residues_of(text.substr(name_end));
    if (block == 1) {
      if (auto problem = name_too_long(sink, name, options.long_names, line.number)) {
        return problem;
      }
      names.emplace_back(name);
      sink.add_row(name);
    } else if (name != names[static_cast<std::size_t>(in_block)]) {
      ReadProblem problem(ReadProblemKind::kWrongName, line.number, in_block + 1,
                          std::string(name));
      problem.block = block;
      problem.expected_text = names[static_cast<std::size_t>(in_block)];
      return problem;
    }
    sink.append(in_block + 1, residues);
    ++in_block;
  }
  if (auto problem = end_block(last)) return problem;
  return sink.end_rows();
}

}  // namespace

extern const InputFormatRow kClustalFormat = {
    InputFormat::kClustal,
    "clustal",
    "Clustal",
    "a header such as 'CLUSTAL W (1.83) multiple sequence alignment'",
    false,
    sniff_clustal,
    read_clustal};

}  // namespace selvane
