// The table of input formats: what each is called, how its first line is recognised, and its
// reader. Detection, load() and read_names() go through it; a format is a row defined beside
// its reader (fasta.cpp, pir.cpp, nexus.cpp, stockholm.cpp, clustal.cpp, phylip.cpp) and listed
// in formats.cpp.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "core/run_state.h"
#include "input/block_reader.h"
#include "input/read_problem.h"
#include "input/sequence_sink.h"

namespace selvane {

// What a format makes of the first line of an input that is not blank.
struct Sniffed {
  bool claimed = false;                   // the line opens an input in this format
  SeqType type = SeqType::kUnknown;       // the sequence type the line names (kUnknown: none)
  std::optional<ReadProblemKind> broken;  // claimed, but wrong in a way that ends the run

  // Claimed, naming the sequence type `named` (kUnknown: none).
  static Sniffed as(SeqType named) {
    Sniffed sniffed;
    sniffed.claimed = true;
    sniffed.type = named;
    return sniffed;
  }
  // Claimed, but wrong.
  static Sniffed wrong(ReadProblemKind problem) {
    Sniffed sniffed;
    sniffed.claimed = true;
    sniffed.broken = problem;
    return sniffed;
  }
};

struct InputFormatRow {
  InputFormat format;
  std::string_view name;   // as --in-format spells it: "fasta", "pir", "phylip"
  std::string_view title;  // how messages name it: "FASTA", "NBRF/PIR", "PHYLIP"
  // What the first line of a file in this format is, for messages: "a line '#NEXUS'".
  std::string_view opening;
  // Read without --in-format. The other formats are read only when asked for: a run without
  // the option reads and reports exactly what it always did.
  bool read_by_default;
  Sniffed (*sniff)(std::string_view first_line);
  // Reads the whole input into `sink`, or stops at the first problem and returns it.
  std::optional<ReadProblem> (*read)(BlockReader& in, SequenceSink& sink,
                                     const ReadOptions& options);
};

// Every row, in the order detection tries them: the first that claims a line decides.
std::span<const InputFormatRow* const> input_formats();

// The row of `format`; null for InputFormat::kNone (no input decided yet).
const InputFormatRow* find_input_format(InputFormat format);

// The row named `name` as --in-format spells it, in any case; null for none.
const InputFormatRow* find_input_format(std::string_view name);

}  // namespace selvane
