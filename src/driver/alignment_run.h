// The steps of a run that every alignment goes through, single or in a batch.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/writer.h"
#include "driver/request.h"
#include "driver/run.h"
#include "input/alignment.h"

namespace selvane {

// A FASTA alignment read as protein (the type was not chosen) whose letters are nearly all
// nucleotides gets a hint on standard error to give its type; `fichero1` is its path. Under
// --strict the run then stops, before anything is written.
void hint_sequence_type(const Request& request, const std::string& fichero1, const Alignment& aln,
                        Writer& out);

// The alignment a job works on, from `loaded` as load() gave it (the columns of gaps removed one
// by one, whatever the type): for codons, the removed columns that split a codon put back, so
// that blocks and partitions keep the input's frame.
Alignment in_run_frame(const Request& request, Alignment loaded);

// PHYLIP names end at the first blank, so blanks become '_' (said on standard error, naming
// `label`); `names` (1-based, each a `noun`) that are then the same would give the tree builders
// two taxa of one name, which they refuse: fatal, naming both.
void check_phylip_output(const std::string& label, std::span<const std::string> names,
                         std::string_view noun, Writer& out);

// The job of `aln`, loaded from job.fichero1: prints its path, classifies its positions,
// selects its blocks, builds what the outputs need, prints the summary and writes the enabled
// files. A selection of no position gets a hint on standard error; PHYLIP output first checks
// the names (see check_phylip_output). Reads nothing but its arguments and changes none of
// them: what it did is in what it returns, what it printed and the files it wrote.
ProcessedAlignment process(const Request& request, const Job& job, const Alignment& aln,
                           Writer& out);

// A batch over the paths file request.filename (request.tog_sb is set).
RunResults run_batch(const Request& request, Writer& out, std::optional<Alignment> preloaded);

}  // namespace selvane
