// Loading an alignment through the table of input formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "input/block_reader.h"

namespace selvane {

// Reads the alignment file `path` in `fileformat`, checks that it has at least two sequences,
// removes the positions that are gaps in every sequence and checks that at least two positions
// remain. Every failure is fatal, with a detail that names the file and what is wrong where.
// Header lines longer than 74 characters (line end included) are refused unless `long_names`.
// An undecided format (no input open) is refused before anything is opened.
Alignment load(const std::string& path, InputFormat fileformat, bool long_names = false);
// The same from an input already open (the one detection looked at), read from where it stands.
Alignment load(BlockReader in, InputFormat fileformat, bool long_names = false);

// For a codon alignment, once load() has removed the columns of gaps: the removed columns that do
// not make a whole codon with the others removed are put back (gaps in every row), so that the
// positions keep the input's codon frame. Codons are the input's columns 1-3, 4-6, ..., a last
// incomplete group counting as one. Without such columns the alignment is left as it is.
void keep_codon_frame(Alignment& al);

// The input column (from 1) of every position of `al`: entry p for position p, entry 0 unused.
std::vector<std::int32_t> input_columns(const Alignment& al);

// The reader of `fileformat` alone, before load()'s checks and the removal of all-gap positions.
Alignment read_alignment(const std::string& path, InputFormat fileformat, bool long_names = false);

// The sequence names of the alignment file `path`, 1-based as Alignment::name (entry 0 is
// empty), read as load() reads them but without keeping the residues: the cost of a scan of the
// file, the memory of its names. The format errors load() would find in the headers are fatal
// here too; the checks that need the residues are left to load().
std::vector<std::string> read_names(const std::string& path, InputFormat fileformat,
                                    bool long_names = false);

}  // namespace selvane
