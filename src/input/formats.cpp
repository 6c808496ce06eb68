#include "input/formats.h"

#include "core/words.h"

namespace selvane {

// Each row is defined in the file of its reader.
extern const InputFormatRow kPirFormat;
extern const InputFormatRow kFastaFormat;
extern const InputFormatRow kNexusFormat;
extern const InputFormatRow kStockholmFormat;
extern const InputFormatRow kClustalFormat;
extern const InputFormatRow kPhylipFormat;

namespace {

// Every NBRF/PIR header is a FASTA header too: NBRF/PIR is tried first. The first lines of the
// others exclude each other; PHYLIP's, two numbers, is the least telling, so it comes last.
const InputFormatRow* const kRows[] = {&kPirFormat,       &kFastaFormat,   &kNexusFormat,
                                       &kStockholmFormat, &kClustalFormat, &kPhylipFormat};

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

const InputFormatRow* find_input_format(std::string_view name) {
  for (const InputFormatRow* row : kRows) {
    if (same_letters(row->name, name)) return row;
  }
  return nullptr;
}

}  // namespace selvane
