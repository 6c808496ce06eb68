// The formats alignment files are written in, one row each. A format is a writer (a function
// that writes a whole content, in a file of its own, output/format_NAME.cpp) and its row in the
// table of alignment_formats.cpp, under an OutputFormat of its own; the row also says what the
// format does to names and which names it cannot write, so that every name is checked in one
// place (check_names) before anything is written.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/run_state.h"
#include "core/writer.h"
#include "output/alignment_file.h"

namespace selvane {

// What a format does to the names it writes.
struct NameRule {
  // Names must be non-empty, free of control characters and distinct (as `key` compares them);
  // a format that checks nothing (FASTA, NBRF/PIR) writes every name as it stands.
  bool checked = false;
  // A blank ends a name (PHYLIP, Clustal), so each blank or tab is written '_'.
  bool blanks_end_names = false;
  // What two names of one file must not share, from a name as it is before writing; nullptr:
  // the name as written (blanks_as_underscores when blanks end names).
  std::string (*key)(std::string_view name) = nullptr;
  // How the format's readers compare names, for the message when two clash; empty: whole.
  std::string_view compared;
};

struct AlignmentWriter {
  OutputFormat format;
  std::string_view name;   // as --out-format spells it
  std::string_view title;  // as messages name it ("PHYLIP")
  std::string_view about;  // what --help says of it
  // The input format whose alignments are written back in this one when no --out-format is
  // given (kNone: none). An input format without a writer of its own (Stockholm) is written as
  // FASTA.
  InputFormat same_as_input;
  NameRule names;
  // Characters a sequence of this format cannot hold, and why ("*", "ends an NBRF/PIR entry";
  // NEXUS: brackets and ';'): a file that would hold one is not written.
  struct Refused {
    std::string_view characters;
    std::string_view why;
  } refused;
  // Writes every sequence of `content`; seq_type is the run's sequence type.
  void (*write)(Writer& out, const AlignmentContent& content, SeqType seq_type);
};

// Every row, in the order --out-format lists them.
std::span<const AlignmentWriter> alignment_writers();

// The row of `format`, which is not kSameAsInput.
const AlignmentWriter& alignment_writer(OutputFormat format);

// The format alignments read in `input` are written in when no --out-format is given.
OutputFormat same_format_as(InputFormat input);

// What writing `names` (1-based, names[0] unused) under `rule` would do to them.
struct NameCheck {
  std::int32_t renamed = 0;  // names whose blanks are written '_'
  // The first sequence (1-based) whose name is empty or holds a control character (a byte
  // below 0x20 other than tab, 0x7f, or in UTF-8 U+0080 to U+009F); 0 when there is none.
  std::int32_t unwritable = 0;
  // The first two sequences whose names are the same for the format; 0 when there are none.
  std::int32_t clash_first = 0;
  std::int32_t clash_second = 0;
};
NameCheck check_names(const NameRule& rule, std::span<const std::string> names);

// A name whose blanks would end it early: each blank or tab becomes '_'.
std::string blanks_as_underscores(std::string_view name);

// The key two names of one file must not share under `rule` (see NameRule::key).
std::string name_key(const NameRule& rule, std::string_view name);

// A NEXUS name: as it stands, or in single quotes (a quote doubled: 'O''Brien') when it is
// empty or holds a blank or NEXUS punctuation.
std::string nexus_name(std::string_view name);

// NEXUS readers compare names without case, and read an unquoted '_' as a blank.
std::string nexus_key(std::string_view name);

// The writers. FASTA: ">NAME" and the residues grouped (put_grouped). NBRF/PIR: the marker of
// the sequence type (pir_marker), the name, a blank description line, the grouped residues and
// '*'. PHYLIP: the relaxed sequential form tree builders read, a line "numseq width", then per
// sequence its name (blanks made '_'), one blank and all its characters on one line. NEXUS: a
// DATA block whose MATRIX gives each sequence on one line after its name (nexus_name), padded to
// a column. Clustal: a CLUSTAL header line, then blocks of 60 columns, a line per sequence
// (its name with blanks made '_', padded to a column), a blank line after each block.
void write_fasta(Writer& out, const AlignmentContent& content, SeqType seq_type);
void write_pir(Writer& out, const AlignmentContent& content, SeqType seq_type);
void write_phylip(Writer& out, const AlignmentContent& content, SeqType seq_type);
void write_nexus(Writer& out, const AlignmentContent& content, SeqType seq_type);
void write_clustal(Writer& out, const AlignmentContent& content, SeqType seq_type);

}  // namespace selvane
