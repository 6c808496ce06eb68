// The per-alignment output files. Each writer creates one file at the path it is given (see
// output/naming.h) and reads only what it is passed; none changes the data or the settings.
#pragma once

#include <cstdint>
#include <string>

#include "core/run_state.h"
#include "input/alignment.h"
#include "selection/blocks.h"
#include "selection/classify.h"

namespace selvane {

// The selected blocks as an alignment, in the input's format (fileformat, seq_type in st).
void saveseq(const std::string& path, const RunState& st, const Alignment& aln,
             const Blocks& blocks);

// The results and parameters file in the form st.tog_viewfile gives (1 HTML, 2 text, 3 short).
// `letselvane` is the selection line (forms 1 and 2 only; empty for form 3).
void saveviewfile(const std::string& path, const RunState& st, const Alignment& aln,
                  const Classification& cls, const Blocks& blocks, const std::string& letselvane);

// The mask file: every sequence with its conserved-residue mask, then the selection line.
void savemask(const std::string& path, const RunState& st, const Alignment& aln,
              const Classification& cls, const std::string& letselvane);

// The EPS map of the blocks.
void saveps(const std::string& path, const RunState& st, std::int32_t nupo, const Blocks& blocks);

// The positions outside every selected block, as an alignment in the input's format.
void savencb(const std::string& path, const RunState& st, const Alignment& aln,
             const Blocks& blocks);

// The ungapped alignment `newlet` with the names of `aln`, in the input's format.
void save_ung(const std::string& path, const RunState& st, const Alignment& aln,
              const Rows& newlet);

}  // namespace selvane
