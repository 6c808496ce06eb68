// The formats alignment files are written in, one row each. A format is a writer (a function
// that writes a whole content, in a file of its own, output/format_NAME.cpp) and its row in the
// table of alignment_formats.cpp, under an OutputFormat of its own.
#pragma once

#include <span>
#include <string_view>

#include "core/run_state.h"
#include "core/writer.h"
#include "output/alignment_file.h"

namespace selvane {

struct AlignmentWriter {
  OutputFormat format;
  std::string_view name;  // as --out-format spells it
  // The input format whose alignments are written back in this one when no --out-format is
  // given (kNone: none). An input format without a writer of its own is written as FASTA.
  InputFormat same_as_input;
  // Writes every sequence of `content`; seq_type is the run's sequence type.
  void (*write)(Writer& out, const AlignmentContent& content, SeqType seq_type);
};

// Every row, in the order --out-format lists them.
std::span<const AlignmentWriter> alignment_writers();

// The row of `format`, which is not kSameAsInput.
const AlignmentWriter& alignment_writer(OutputFormat format);

// The format alignments read in `input` are written in when no --out-format is given.
OutputFormat same_format_as(InputFormat input);

// The writers. FASTA: ">NAME" and the residues grouped (put_grouped). NBRF/PIR: the marker of
// the sequence type (pir_marker), the name, a blank description line, the grouped residues and
// '*'. PHYLIP: the relaxed sequential form tree builders read, a line "numseq width", then per
// sequence its name (blanks made '_', see phylip_name), one blank and all its characters on one
// line.
void write_fasta(Writer& out, const AlignmentContent& content, SeqType seq_type);
void write_pir(Writer& out, const AlignmentContent& content, SeqType seq_type);
void write_phylip(Writer& out, const AlignmentContent& content, SeqType seq_type);

}  // namespace selvane
