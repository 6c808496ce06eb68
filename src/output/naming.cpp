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
    case OutputFile::kSiteTable:
      return join(fichero1, exten, ".sites.tsv");
  }
  return {};
}

std::string output_stem(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::string_view folder = path.substr(0, slash == std::string_view::npos ? 0 : slash + 1);
  // "/proc/self/fd/", "/proc/1234/fd/", "/proc/thread-self/fd/".
  const bool process_fds = folder.starts_with("/proc/") && folder.ends_with("/fd/") &&
                           folder.find('/', 6) == folder.size() - 4;
  if (folder == "/dev/" || folder == "/dev/fd/" || process_fds) return "stdin";
  return std::string(path);
}

std::string selected_blocks_name(std::string_view stem, const OutputSwitches& outputs) {
  return outputs.out.empty() ? output_name(stem, outputs.exten, OutputFile::kSelectedBlocks)
                             : outputs.out;
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

std::vector<std::pair<OutputFile, std::string>> alignment_outputs(std::string_view fichero1,
                                                                  const OutputSwitches& outputs) {
  std::vector<OutputFile> kinds;
  if (outputs.tog_seqfile) kinds.push_back(OutputFile::kSelectedBlocks);
  switch (outputs.tog_viewfile) {
    case ResultsForm::kHtml:
      kinds.push_back(OutputFile::kResultsHtml);
      break;
    case ResultsForm::kText:
      kinds.push_back(OutputFile::kResultsText);
      break;
    case ResultsForm::kShort:
      kinds.push_back(OutputFile::kResultsShort);
      break;
    case ResultsForm::kNone:
      break;
  }
  if (outputs.tog_maskfile) kinds.push_back(OutputFile::kMask);
  if (outputs.tog_psfile) kinds.push_back(OutputFile::kPostScript);
  if (outputs.tog_ncbfile) kinds.push_back(OutputFile::kNonconserved);
  if (outputs.tog_ungappedfile) kinds.push_back(OutputFile::kUngapped);
  if (outputs.svg_overview) kinds.push_back(OutputFile::kOverview);
  if (outputs.site_table) kinds.push_back(OutputFile::kSiteTable);
  const std::string stem = output_stem(fichero1);
  std::vector<std::pair<OutputFile, std::string>> files;
  for (const OutputFile kind : kinds) {
    files.emplace_back(kind, kind == OutputFile::kSelectedBlocks
                                 ? selected_blocks_name(stem, outputs)
                                 : output_name(stem, outputs.exten, kind));
  }
  return files;
}

std::vector<std::pair<BatchFile, std::string>> batch_outputs(std::string_view path_fichero1,
                                                             std::string_view name_pathsfile,
                                                             const OutputSwitches& outputs,
                                                             bool tog_sub) {
  std::vector<std::pair<BatchFile, std::string>> files;
  if (!tog_sub) return files;
  const auto add = [&](bool on, BatchFile kind) {
    if (on) {
      files.emplace_back(kind,
                         batch_output_name(path_fichero1, name_pathsfile, outputs.exten, kind));
    }
  };
  add(outputs.tog_allfile, BatchFile::kBlocks);
  add(outputs.tog_allfile_init, BatchFile::kInputs);
  add(outputs.tog_allungfile, BatchFile::kUngapped);
  add(outputs.tog_allfile && outputs.svg_overview, BatchFile::kBlocksOverview);
  return files;
}

std::string partitions_name(std::string_view concatenation) {
  return join(concatenation, ".partitions");
}

std::string occupancy_name(std::string_view concatenation) {
  return join(concatenation, ".occupancy.tsv");
}

}  // namespace selvane
