#include "input/detect.h"

#include <cerrno>
#include <optional>

#include "core/fatal.h"
#include "input/problems.h"

namespace selvane {

namespace {

// The first line of a file that is not blank, without its line end; empty when the file holds
// none. Detection looks at this line only.
std::string first_nonblank_line(BlockReader& in) {
  std::string line;
  next_path(in, line);  // a path is a non-blank line too; at the end of the file it is empty
  return line;
}

}  // namespace

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

DetectedFormat checkformat(std::string_view line, const std::string& path) {
  if (line.empty() || line[0] != '>') {
    fatal(
        "\nSequence not in NBRF/PIR or FASTA format",
        file_detail(path, line.empty() ? std::string("the file is empty or holds only blank lines")
                                       : "its first line " + quoted(line) +
                                             " is no FASTA or NBRF/PIR header (they begin "
                                             "with '>')"));
  }
  if (line.size() >= 4 && line[3] == ';') {
    // Only the letter after '>' tells the type; the one before ';' is never looked at.
    if (line[1] != 'P' && line[1] != 'D') {
      fatal(
          "\nSequence not in correct NBRF/PIR format: a D (for DNA or rRNA sequences) or a P "
          "(for protein sequences) is missing after the symbol > in the name line",
          file_detail(path, "its first header " + quoted(line) +
                                " has ';' as its fourth character, so it is read as NBRF/PIR, "
                                "which needs P (protein) or D (DNA) right after the '>'"));
    }
    return {InputFormat::kPir, line[1] == 'P' ? SeqType::kProtein : SeqType::kDna};
  }
  // A FASTA header names no type: protein until the user says otherwise.
  return {InputFormat::kFasta, SeqType::kProtein};
}

Detection checkfiletype(const std::string& filename) {
  Detection found;
  std::optional<BlockReader> input = BlockReader::open(filename, &found.not_regular);
  if (!input) {
    found.error = errno;
    return found;
  }
  found.opened = true;
  const std::string line = first_nonblank_line(*input);
  input.reset();

  // An alignment's first line never names a file; a paths file's first line does.
  std::optional<BlockReader> first_alignment = BlockReader::open(line);
  if (!first_alignment) {
    found.format = checkformat(line, filename);
    found.first_path = filename;
    found.count = 1;
    return found;
  }

  found.paths_file = true;
  found.first_path = line;
  const std::string header = first_nonblank_line(*first_alignment);
  first_alignment.reset();
  found.format = checkformat(header, found.first_path);

  BlockReader paths = open_or_stop(filename, "paths file");
  std::string path;
  while (next_path(paths, path)) ++found.count;
  return found;
}

}  // namespace selvane
