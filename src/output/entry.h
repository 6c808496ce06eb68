// The sequence entry format shared by every alignment-shaped output, and the residue grouping.
#pragma once

#include <string_view>

#include "core/run_state.h"
#include "core/writer.h"

namespace selvane {

// Lays out the characters of one entry: a blank after the 10th, 20th, 30th, 40th and 50th
// character of a line, a line end after the 60th. One counter runs over the whole entry, so
// several stretches (blocks) follow each other without a mark.
class ResidueGrouping {
 public:
  explicit ResidueGrouping(Writer& out) : out_(out) {}
  void put(std::string_view chars);

 private:
  Writer& out_;
  int counter_ = 0;
};

// The formats an alignment file can be written in. FASTA and NBRF/PIR are those of the input
// (and of --out-format); PHYLIP only ever comes from --out-format.
enum class AlignmentFormat { kFasta, kPir, kPhylip };

// How the entries of an alignment file are written: in the input's format unless --out-format
// chose another, with the marker of the sequence type in NBRF/PIR.
struct EntryFormat {
  constexpr EntryFormat() = default;
  constexpr EntryFormat(AlignmentFormat f, SeqType t) : format(f), seq_type(t) {}
  // In the format of an input: NBRF/PIR stays NBRF/PIR, anything else is FASTA.
  constexpr EntryFormat(InputFormat f, SeqType t)
      : format(f == InputFormat::kPir ? AlignmentFormat::kPir : AlignmentFormat::kFasta),
        seq_type(t) {}

  AlignmentFormat format = AlignmentFormat::kFasta;
  SeqType seq_type = SeqType::kProtein;
};

// Header of an entry: the marker (">P1;" protein or ">DL;" DNA and codons in NBRF/PIR, ">" in
// FASTA), the name and its line end, and in NBRF/PIR the description line " \n". In PHYLIP the
// name and one blank (the name must hold no blank; see output/alignment_file.h).
void begin_entry(Writer& out, const EntryFormat& format, std::string_view name);

// Terminator of an entry: "*\n\n" in NBRF/PIR, "\n" in FASTA and PHYLIP.
void end_entry(Writer& out, const EntryFormat& format);

// The NBRF/PIR marker of a sequence type.
inline std::string_view pir_marker(SeqType seq_type) {
  return seq_type == SeqType::kProtein ? std::string_view(">P1;") : std::string_view(">DL;");
}

}  // namespace selvane
