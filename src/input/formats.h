// The table of input formats: what each is called, how its first line is recognised, and its
// reader. Detection, load() and read_names() go through it; a format is a row defined beside
// its reader (fasta.cpp, pir.cpp) and listed in formats.cpp.
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
  std::string_view name;  // how people name it: "fasta", "pir"
  Sniffed (*sniff)(std::string_view first_line);
  // Reads the whole input into `sink`, or stops at the first problem and returns it.
  std::optional<ReadProblem> (*read)(BlockReader& in, SequenceSink& sink,
                                     const ReadOptions& options);
};

// Every row, in the order detection tries them: the first that claims a line decides.
std::span<const InputFormatRow* const> input_formats();

// The row of `format`; null for InputFormat::kNone (no input decided yet).
const InputFormatRow* find_input_format(InputFormat format);

}  // namespace selvane
