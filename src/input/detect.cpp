#include "input/detect.h"

#include <cerrno>
#include <optional>

#include "core/fatal.h"
#include "input/formats.h"
#include "input/problems.h"

namespace selvane {

bool next_path(BlockReader& paths, std::string& path, std::int64_t* line_number) {
  while (paths.read_line(path)) {
    if (line_number != nullptr) ++*line_number;
    if (!path.empty()) return true;
  }
  return false;
}

std::vector<ListedPath> read_paths(const std::string& filename, std::int32_t count) {
  BlockReader paths = open_or_stop(filename, "paths file");
  std::vector<ListedPath> list;
  ListedPath listed;
  while (static_cast<std::int64_t>(list.size()) < count &&
         next_path(paths, listed.path, &listed.line)) {
    list.push_back(listed);
  }
  return list;
}

FatalError listed_error(const FatalError& error, const ListedPath& listed,
                        const std::string& paths_file) {
  std::string detail = error.detail();
  if (detail.empty()) detail = listed.path + ": the batch stops here";
  detail += " (listed on line " + std::to_string(listed.line) + " of " + paths_file + ")";
  return FatalError(error.text(), std::move(detail));
}

DetectedFormat checkformat(std::string_view line, const std::string& path, LineEnds ends) {
  for (const InputFormatRow* row : input_formats()) {
    const Sniffed sniffed = row->sniff(line);
    if (!sniffed.claimed) continue;
    if (sniffed.broken)
      stop_reading(ReadProblem(*sniffed.broken, 0, 0, std::string(line)), path, ends);
    // A format that names no type: protein until the user says otherwise.
    return {row->format, sniffed.type == SeqType::kUnknown ? SeqType::kProtein : sniffed.type};
  }
  stop_reading(ReadProblem(ReadProblemKind::kNoFormat, 0, 0, std::string(line)), path, ends);
}

namespace {

DetectedFormat checkformat(BlockReader& in) {
  return checkformat(in.first_nonblank_line(), in.name(), in.line_ends());
}

}  // namespace

Detection checkfiletype(const std::string& filename) {
  Detection found;
  std::optional<BlockReader> input = BlockReader::open(filename, &found.not_regular);
  if (!input) {
    found.error = errno;
    return found;
  }
  found.opened = true;
  const std::string line(input->first_nonblank_line());

  // An alignment's first line never names a file; a paths file's first line does.
  std::optional<BlockReader> first_alignment = BlockReader::open(line);
  if (!first_alignment) {
    found.format = checkformat(*input);
    found.first_path = filename;
    found.count = 1;
    found.first_alignment = std::move(input);
    return found;
  }

  found.paths_file = true;
  found.first_path = line;
  found.format = checkformat(*first_alignment);
  found.first_alignment = std::move(first_alignment);
  std::string path;
  while (next_path(*input, path)) ++found.count;
  return found;
}

}  // namespace selvane
