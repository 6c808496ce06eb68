// The NBRF/PIR and FASTA alignment readers.
#pragma once

#include <string>

#include "input/alignment.h"

namespace selvane {

// Reads the alignment file `path` in `fileformat` (kFormatPir or kFormatFasta), checks that it
// has at least two sequences, removes the positions that are gaps in every sequence and checks
// that at least two positions remain. Every failure is fatal.
Alignment load(const std::string& path, int fileformat);

// The readers alone, before the checks and the removal of all-gap positions.
Alignment load_pir(const std::string& path);
Alignment load_fasta(const std::string& path);

}  // namespace selvane
