#include "output/naming.h"

namespace selvane {

namespace {

std::string join(std::string_view a, std::string_view b, std::string_view c = {},
                 std::string_view d = {}) {
  std::string out;
  out.reserve(a.size() + b.size() + c.size() + d.size());
  out.append(a).append(b).append(c).append(d);
  return out;
}

}  // namespace

std::string output_name(std::string_view fichero1, std::string_view exten, OutputFile kind) {
  switch (kind) {
    case OutputFile::kSelectedBlocks:
      return join(fichero1, exten);
    case OutputFile::kResultsHtml:
      return join(fichero1, exten, ".htm");
    case OutputFile::kResultsText:
      return join(fichero1, exten, ".txt");
    case OutputFile::kResultsShort:
      return join(fichero1, exten, ".txts");
    case OutputFile::kMask:
      return join(fichero1, exten, "Mask");
    case OutputFile::kPostScript:
      return join(fichero1, exten, "PS");
    case OutputFile::kNonconserved:
      return join(fichero1, exten, "Comp");
    case OutputFile::kUngapped:
      return join(fichero1, "--");
    case OutputFile::kOverview:
      return join(fichero1, exten, ".svg");
  }
  return {};
}

std::string batch_output_name(std::string_view path_fichero1, std::string_view name_pathsfile,
                              std::string_view exten, BatchFile kind) {
  switch (kind) {
    case BatchFile::kBlocks:
      return join(path_fichero1, name_pathsfile, exten, ".seq");
    case BatchFile::kInputs:
      return join(path_fichero1, name_pathsfile, ".seq");
    case BatchFile::kUngapped:
      return join(path_fichero1, name_pathsfile, "--.seq");
    case BatchFile::kBlocksOverview:
      return join(batch_output_name(path_fichero1, name_pathsfile, exten, BatchFile::kBlocks),
                  ".svg");
  }
  return {};
}

std::string partitions_name(std::string_view concatenation) {
  return join(concatenation, ".partitions");
}

}  // namespace selvane
