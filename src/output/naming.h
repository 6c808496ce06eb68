// Names of every file a run writes.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/run_state.h"

namespace selvane {

enum class OutputFile {
  kSelectedBlocks,  // fichero1 + exten
  kResultsHtml,     // fichero1 + exten + ".htm"
  kResultsText,     // fichero1 + exten + ".txt"
  kResultsShort,    // fichero1 + exten + ".txts"
  kMask,            // fichero1 + exten + "Mask"
  kPostScript,      // fichero1 + exten + "PS"
  kNonconserved,    // fichero1 + exten + "Comp"
  kUngapped,        // fichero1 + "--" (no generic extension)
  kOverview,        // fichero1 + exten + ".svg" (--svg)
  kSiteTable,       // fichero1 + exten + ".sites.tsv" (--site-table)
};

enum class BatchFile {
  kBlocks,    // path_fichero1 + name_pathsfile + exten + ".seq"
  kInputs,    // path_fichero1 + name_pathsfile + ".seq"
  kUngapped,  // path_fichero1 + name_pathsfile + "--.seq"
  // The overview of the concatenated selected blocks (--svg): the kBlocks name + ".svg".
  kBlocksOverview,
};

// The output of one alignment, beside it: `fichero1` is the alignment's path as given.
std::string output_name(std::string_view fichero1, std::string_view exten, OutputFile kind);

// What the outputs of the input `path` are named after: `path`, but for an input that lives
// among the system's names of open files, where no file can be written beside it (standard
// input as /dev/stdin, the pipe of a process substitution as /dev/fd/N, /proc/self/fd/N):
// "stdin", in the working folder (or that of --outdir).
std::string output_stem(std::string_view path);

// The file of the selected blocks of the alignment whose outputs are named after `stem`
// (output_stem): as --out names it, or as output_name names it.
std::string selected_blocks_name(std::string_view stem, const OutputSwitches& outputs);

// A concatenated file of a batch, in the directory of the last alignment processed.
std::string batch_output_name(std::string_view path_fichero1, std::string_view name_pathsfile,
                              std::string_view exten, BatchFile kind);

// The files the output switches ask of one alignment, in the order the writers run, with their
// names (after output_stem(fichero1); the selected blocks as --out names them, when it does).
// The run writes exactly these, so the check made before a run sees what it will write.
std::vector<std::pair<OutputFile, std::string>> alignment_outputs(std::string_view fichero1,
                                                                  const OutputSwitches& outputs);

// The concatenated files of a batch whose switches are on, and the overview of the selected
// blocks' one (they are written only when b1 and b2 are fixed for the batch, `tog_sub`), in the
// order they are written. --partitions adds a partition file beside each concatenation, which
// is not listed here.
std::vector<std::pair<BatchFile, std::string>> batch_outputs(std::string_view path_fichero1,
                                                             std::string_view name_pathsfile,
                                                             const OutputSwitches& outputs,
                                                             bool tog_sub);

// The partition file of a concatenated file (--partitions): its name + ".partitions".
std::string partitions_name(std::string_view concatenation);

// The occupancy table of a concatenated file (--occupancy): its name + ".occupancy.tsv".
std::string occupancy_name(std::string_view concatenation);

}  // namespace selvane
