// The per-alignment output files. Each writer creates one file at the path it is given (see
// output/naming.h) and reads only what it is passed; none changes the data or the settings.
// saveseq, savencb and save_ung are alignment files (output/alignment_file.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/run_state.h"
#include "input/alignment.h"
#include "output/entry.h"
#include "selection/blocks.h"
#include "selection/classify.h"

namespace selvane {

// Every writer reads the output switches for the way its file is created (see
// core/output_file.h).

// The selected blocks as an alignment, in the entry format of the input.
void saveseq(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
             const Alignment& aln, const Blocks& blocks);

// The results and parameters file in the form outputs.tog_viewfile gives (HTML, text or short),
// for the alignment `fichero1`. `letselvane` is the selection line (HTML and text only; empty
// for the short form).
void saveviewfile(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
                  std::string_view fichero1, const Alignment& aln, const Classification& cls,
                  const Blocks& blocks, const std::string& letselvane);

// The mask file: every sequence with its conserved-residue mask, then the selection line.
void savemask(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
              const Alignment& aln, const Classification& cls, const std::string& letselvane);

// The EPS map of the blocks of the alignment `fichero1`.
void saveps(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
            std::string_view fichero1, std::int32_t nupo, const Blocks& blocks);

// The positions outside every selected block, as an alignment in the entry format of the input.
void savencb(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
             const Alignment& aln, const Blocks& blocks);

// The ungapped alignment `newlet` with the names of `aln`, in the entry format of the input.
void save_ung(const std::string& path, const OutputSwitches& outputs, const EntryFormat& format,
              const Alignment& aln, const Rows& newlet);

}  // namespace selvane
