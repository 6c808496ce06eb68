// The NBRF/PIR and FASTA alignment readers.
#pragma once

#include <string>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"

namespace selvane {

// Reads the alignment file `path` in `fileformat` (NBRF/PIR or FASTA), checks that it
// has at least two sequences, removes the positions that are gaps in every sequence and checks
// that at least two positions remain. Every failure is fatal, with a detail that names the file
// and what is wrong where. Header lines longer than 74 characters (line end included) are refused
// unless `long_names`.
Alignment load(const std::string& path, InputFormat fileformat, bool long_names = false);

// The readers alone, before the checks and the removal of all-gap positions.
Alignment load_pir(const std::string& path, bool long_names = false);
Alignment load_fasta(const std::string& path, bool long_names = false);

// The sequence names of the alignment file `path`, 1-based as Alignment::name (entry 0 is
// empty), read as load() reads them but without keeping the residues: the cost of a scan of the
// file, the memory of its names. The format errors load() would find in the headers are fatal
// here too; the checks that need the residues are left to load().
std::vector<std::string> read_names(const std::string& path, InputFormat fileformat,
                                    bool long_names = false);

}  // namespace selvane
