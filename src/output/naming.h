// Names of every file a run writes.
#pragma once

#include <string>
#include <string_view>

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

// A concatenated file of a batch, in the directory of the last alignment processed.
std::string batch_output_name(std::string_view path_fichero1, std::string_view name_pathsfile,
                              std::string_view exten, BatchFile kind);

// The partition file of a concatenated file (--partitions): its name + ".partitions".
std::string partitions_name(std::string_view concatenation);

}  // namespace selvane
