#include "output/alignment_formats.h"

#include <array>

namespace selvane {
namespace {

constexpr std::array<AlignmentWriter, 3> kWriters = {{
    {OutputFormat::kFasta, "fasta", InputFormat::kFasta, write_fasta},
    {OutputFormat::kPir, "pir", InputFormat::kPir, write_pir},
    {OutputFormat::kPhylip, "phylip", InputFormat::kNone, write_phylip},
}};

}  // namespace

std::span<const AlignmentWriter> alignment_writers() {
  return kWriters;
}

const AlignmentWriter& alignment_writer(OutputFormat format) {
  for (const AlignmentWriter& writer : kWriters) {
    if (writer.format == format) return writer;
  }
  return kWriters.front();  // kSameAsInput is resolved before a file is written
}

OutputFormat same_format_as(InputFormat input) {
  for (const AlignmentWriter& writer : kWriters) {
    if (writer.same_as_input == input && input != InputFormat::kNone) return writer.format;
  }
  return OutputFormat::kFasta;
}

}  // namespace selvane
