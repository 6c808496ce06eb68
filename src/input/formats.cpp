#include "input/formats.h"

namespace selvane {

// Each row is defined in the file of its reader.
extern const InputFormatRow kPirFormat;
extern const InputFormatRow kFastaFormat;

namespace {

// Every NBRF/PIR header is a FASTA header too: NBRF/PIR is tried first.
const InputFormatRow* const kRows[] = {&kPirFormat, &kFastaFormat};

}  // namespace

std::span<const InputFormatRow* const> input_formats() {
  return kRows;
}

const InputFormatRow* find_input_format(InputFormat format) {
  for (const InputFormatRow* row : kRows) {
    if (row->format == format) return row;
  }
  return nullptr;
}

}  // namespace selvane
