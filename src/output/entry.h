// The residue grouping and the NBRF/PIR marker shared by every alignment-shaped output, and the
// format the alignment files of a run are written in.
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

// How the alignment files of a run are written: in the format --out-format chose, or else in
// the input's own (see same_format_as, output/alignment_formats.h), with the run's sequence type
// (the NBRF/PIR marker).
struct EntryFormat {
  EntryFormat() = default;
  EntryFormat(OutputFormat requested, InputFormat input, SeqType type);
  // In the format of an input.
  EntryFormat(InputFormat input, SeqType type)
      : EntryFormat(OutputFormat::kSameAsInput, input, type) {}
  // In a format given; not kSameAsInput.
  EntryFormat(OutputFormat f, SeqType type) : format(f), seq_type(type) {}

  OutputFormat format = OutputFormat::kFasta;
  SeqType seq_type = SeqType::kProtein;
};

// The NBRF/PIR marker of a sequence type.
inline std::string_view pir_marker(SeqType seq_type) {
  return seq_type == SeqType::kProtein ? std::string_view(">P1;") : std::string_view(">DL;");
}

}  // namespace selvane
