// The steps of a run that every alignment goes through, single or in a batch.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "core/writer.h"
#include "driver/run.h"
#include "input/alignment.h"
#include "output/entry.h"
#include "selection/blocks.h"
#include "selection/classify.h"

namespace selvane {

// Everything derived from one alignment for its summary, its files and the concatenations.
struct AlignmentResults {
  Classification cls;
  Blocks blocks;
  bool ungapped_built = false;
  Rows newlet;                     // when ungapped_built; its width is nupoung
  std::string letselvane;          // when the results file (HTML or text) or the mask needs it
  std::vector<std::int32_t> gaps;  // with --svg: gaps per position (count_gaps)
};

// Whether a batch writes concatenated files: only with b1 and b2 fixed for the batch (tog_sub)
// and one of -a, -c, -w on.
bool concatenates(const RunState& st);

// The entry format of every alignment file of a run: the input's format (or the one of
// --out-format) and the sequence type.
EntryFormat entry_format(const RunState& st);

// A FASTA alignment read as protein (the type was not chosen) whose letters are nearly all
// nucleotides gets a hint on standard error to give its type.
void hint_sequence_type(const RunState& st, const Alignment& aln, Writer& out);

// Records the counts of the alignment just loaded from st.input.fichero1 and splits that path into
// name_file, path_file and path_fichero1.
void note_loaded(RunState& st, const Alignment& aln);

// PHYLIP names end at the first blank, so blanks become '_' (said on standard error, naming
// `label`); `names` (1-based, each a `noun`) that are then the same would give the tree builders
// two taxa of one name, which they refuse: fatal, naming both.
void check_phylip_output(const std::string& label, std::span<const std::string> names,
                         std::string_view noun, Writer& out);

// Prints the alignment's path, classifies its positions, selects its blocks, builds what the
// outputs need, prints the summary and writes the enabled files. A selection of no position
// gets a hint on standard error; PHYLIP output first checks the names (see check_phylip_output).
AlignmentResults process(const RunState& st, const Alignment& aln, Writer& out);

// A batch over the paths file st.input.filename (st.input.tog_sb is set).
RunOutcome run_batch(RunState& st, Writer& out, std::optional<Alignment> preloaded);

}  // namespace selvane
