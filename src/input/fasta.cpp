// FASTA: a '>' line names each sequence; its residues follow up to the next '>'.
#include <string>
#include <string_view>

#include "input/formats.h"

namespace selvane {

namespace {

// A FASTA header names no type.
Sniffed sniff_fasta(std::string_view first_line) {
  return first_line.starts_with('>') ? Sniffed::as(SeqType::kUnknown) : Sniffed();
}

std::optional<ReadProblem> read_fasta(BlockReader& in, SequenceSink& sink,
                                      const ReadOptions& options) {
  std::string line;
  bool ended = false;
  for (std::int64_t at = in.line(); in.read_line(line, &ended); at = in.line()) {
    if (line.empty()) continue;
    // The first name line counts its '>'; later ones lost theirs to the end of the sequence
    // before them.
    if (auto problem =
            header_too_long(sink, line, ended, line[0] == '>' ? 1 : 0, options.long_names, at)) {
      return problem;
    }
    std::string_view name(line);
    if (name[0] == '>') name.remove_prefix(1);
    sink.begin_sequence(name);
    // The '>' that ends a sequence is consumed: the rest of its line is the next name.
    sink.scan(in, '>');
    if (auto problem = sink.end_sequence(at)) return problem;
  }
  return std::nullopt;
}

}  // namespace

extern const InputFormatRow kFastaFormat = {
    InputFormat::kFasta, "fasta",   "FASTA", "a header line that begins with '>'", true,
    sniff_fasta,         read_fasta};

}  // namespace selvane
