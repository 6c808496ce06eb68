// What a format reader reads into: the alignment (AlignmentBuilder) or its names alone
// (NamesBuilder), so that each format has one reader for both.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/run_state.h"
#include "input/block_reader.h"
#include "input/read_problem.h"

namespace selvane {

// Settings a reader needs from the run.
struct ReadOptions {
  bool long_names = false;  // --long-names: no limit on the length of a header line
};

class SequenceSink {
 public:
  virtual ~SequenceSink() = default;

  // The number the next sequence gets, from 1.
  virtual std::int32_t next_index() const = 0;
  // Starts the next sequence, named `name` (a header line without its marker and line end).
  virtual void begin_sequence(std::string_view name) = 0;
  // Reads the residues of the sequence begun last from `in` up to the stop character `stop`
  // (consumed) or the end of the input; returns whether the stop character was found. Blanks
  // and line feeds separate residues; '.' is a gap like '-'; everything else, digits and tabs
  // included, is a residue character (see copy_residues).
  virtual bool scan(BlockReader& in, char stop) = 0;
  // Ends the sequence begun last: a problem when its length differs from the first one's
  // (`line`: where it began).
  virtual std::optional<ReadProblem> end_sequence(std::int64_t line) = 0;

  // The formats that give each sequence's residues in pieces, interleaved or a line at a time
  // (PHYLIP, Clustal, Stockholm, NEXUS), read through the calls below instead: rows are added
  // by name, then residues appended to any of them in any order. One input uses one way only.

  // Adds sequence next_index(), named `name`, with no residue yet.
  virtual void add_row(std::string_view name) = 0;
  // Appends the residue characters of `text` (a line, or part of one) to sequence `s`: blanks
  // and tabs are left out and '.' is stored as '-'; every other character is a residue.
  // Returns how many were appended. The text must be as readable past its end as a Line's
  // (input/line_formats.h): kLineCopySlack bytes.
  virtual std::size_t append(std::int32_t s, std::string_view text) = 0;
  // The number of sequences and positions the input announces or its first block shows
  // (`width` 0: unknown), so that room is made once; a hint, bounded by the input's size.
  virtual void expect_rows(std::int32_t numseq, std::int64_t width) = 0;
  // Ends the rows: a problem when one is not as long as the first.
  virtual std::optional<ReadProblem> end_rows() = 0;
  // The sequence type the input itself declares (a NEXUS DATATYPE).
  virtual void declare_type(SeqType type) = 0;
  // The input holds a further alignment from line `line` on, which is not read: one alignment
  // is read from each file.
  virtual void further_alignment(std::int64_t line) = 0;
};

// Longest header line, its line end counted as one character.
inline constexpr std::size_t kMaxHeaderLength = 74;
// Longest name of a format without header lines: what a FASTA header line holds after its '>'.
inline constexpr std::size_t kMaxNameLength = kMaxHeaderLength - 2;

// The header line `line` of the next sequence of `sink`, found on line `line_number` and
// closed by a line end when `ended`, when it is longer than names may be (never with
// `long_names`). The name counts without its marker of `marker` characters.
std::optional<ReadProblem> header_too_long(const SequenceSink& sink, const std::string& line,
                                           bool ended, std::size_t marker, bool long_names,
                                           std::int64_t line_number);

// The name `name` of the next sequence of `sink`, found on line `line_number`, when it is longer
// than kMaxNameLength (never with `long_names`).
std::optional<ReadProblem> name_too_long(const SequenceSink& sink, std::string_view name,
                                         bool long_names, std::int64_t line_number);

}  // namespace selvane
