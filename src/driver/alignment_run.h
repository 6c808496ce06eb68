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

// Whether the request reads FASTA as protein only because no type was chosen: the alignments
// the hints below are for.
bool fasta_read_as_protein(const Request& request);

// A FASTA alignment read as protein (the type was not chosen) whose letters are nearly all
// nucleotides gets a hint on standard error to give its type; `fichero1` is its path. Under
// --strict the run then stops, before anything is written.
void hint_sequence_type(const Request& request, const std::string& fichero1, const Alignment& aln,
                        Writer& out);
// The same for a FASTA file read as protein, `percent` of whose letters are nucleotides.
void hint_nucleotides(const Request& request, const std::string& fichero1, std::int32_t percent,
                      Writer& out);

// The alignment a job works on, from `loaded` as load() gave it (the columns of gaps removed one
// by one, whatever the type): for codons, the removed columns that split a codon put back, so
// that blocks and partitions keep the input's frame.
Alignment in_run_frame(const Request& request, Alignment loaded);

// The names `names` (1-based, each a `noun`) of what will be written in the alignment files of
// the request's format, checked against the format's rule (NameRule, output/alignment_formats.h)
// before anything is written: an empty name, one with a control character, or two that would
// be one taxon to the format's readers are fatal, naming `label` and the sequences; blanks
// written '_' are said on standard error.
void check_output_names(const Request& request, const std::string& label,
                        std::span<const std::string> names, std::string_view noun, Writer& out);

// The job of `aln`, loaded from job.fichero1: prints its path, classifies its positions,
// selects its blocks, builds what the outputs need, prints the summary and writes the enabled
// files. A selection of no position gets a hint on standard error; the names are checked first
// (check_output_names). Reads nothing but its arguments and changes none of
// them: what it did is in what it returns, what it printed and the files it wrote.
ProcessedAlignment process(const Request& request, const Job& job, const Alignment& aln,
                           Writer& out);

// A batch over the paths file request.filename (request.tog_sb is set).
RunResults run_batch(const Request& request, Writer& out, std::optional<Alignment> preloaded);

}  // namespace selvane
