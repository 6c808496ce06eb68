#include "input/detect.h"

#include <sys/stat.h>

#include <cctype>
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
  return FatalError(error.text(), std::move(detail)).with_hint(error.hint());
}

namespace {

// Ends the run with the problem `kind` of the first line `line` of `path`, which concerns the
// format of `row` when there is one.
[[noreturn]] void stop_detecting(ReadProblemKind kind, std::string_view line,
                                 const InputFormatRow* row, const std::string& path,
                                 LineEnds ends) {
  ReadProblem problem(kind, 0, 0, std::string(line));
  if (row != nullptr) {
    problem.format = row->title;
    problem.expected_text = row->name;
  }
  stop_reading(problem, path, ends);
}

}  // namespace

DetectedFormat checkformat(std::string_view line, const std::string& path, LineEnds ends,
                           std::optional<InputFormat> in_format) {
  const auto stop = [&](ReadProblemKind kind, const InputFormatRow* row) {
    stop_detecting(kind, line, row, path, ends);
  };
  if (in_format && *in_format != InputFormat::kNone) {
    // One format, asked for by name.
    const InputFormatRow* row = find_input_format(*in_format);
    const Sniffed sniffed = row->sniff(line);
    if (!sniffed.claimed) stop(ReadProblemKind::kNotInFormat, row);
    if (sniffed.broken) stop(*sniffed.broken, nullptr);
    return {row->format, sniffed.type};
  }
  for (const InputFormatRow* row : input_formats()) {
    if (!in_format && !row->read_by_default) continue;
    const Sniffed sniffed = row->sniff(line);
    if (!sniffed.claimed) continue;
    if (sniffed.broken) stop(*sniffed.broken, nullptr);
    // Without --in-format, a format that names no type is protein until the user says otherwise.
    const bool protein = !in_format && sniffed.type == SeqType::kUnknown;
    return {row->format, protein ? SeqType::kProtein : sniffed.type};
  }
  if (in_format) stop(ReadProblemKind::kNoKnownFormat, nullptr);
  // The formats read only with --in-format: the user learns which one the file looks like.
  for (const InputFormatRow* row : input_formats()) {
    if (!row->read_by_default && row->sniff(line).claimed) stop(ReadProblemKind::kNoFormat, row);
  }
  stop_detecting(ReadProblemKind::kNoFormat, line, nullptr, path, ends);
}

namespace {

DetectedFormat checkformat(BlockReader& in, std::optional<InputFormat> in_format) {
  return checkformat(in.first_nonblank_line(), in.name(), in.line_ends(), in_format);
}

// Every format, those read only with --in-format included: a file in one of them is no paths
// file.
bool claimed_by_a_format(std::string_view line) {
  for (const InputFormatRow* row : input_formats()) {
    if (row->sniff(line).claimed) return true;
  }
  return false;
}

// The endings of alignment files, in lower case; a compressed one ends in ".gz" after them.
constexpr std::string_view kAlignmentEndings[] = {
    ".fa",  ".fas", ".fasta", ".fna", ".faa", ".ffn",    ".mfa",       ".afa", ".aln",
    ".pir", ".ali", ".nbrf",  ".phy", ".nex", ".phylip", ".stockholm", ".sto", ".sth"};

bool ends_like_an_alignment(std::string_view line) {
  std::string lower(line);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string_view name = lower;
  if (name.ends_with(".gz")) name.remove_suffix(3);
  for (const std::string_view ending : kAlignmentEndings) {
    if (name.size() > ending.size() && name.ends_with(ending)) return true;
  }
  return false;
}

bool is_folder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Lines of a paths file looked at past the first, to tell it from an alignment.
constexpr int kLinesLookedAt = 10;

// Whether an input whose first non-blank line `line` no format claims, and which names no file
// that could be opened (`error`, `not_regular`: why), is a paths file whose first entry is
// missing or unreadable rather than an alignment that begins badly: the line names something
// that exists (a file that cannot be read, a folder, a FIFO), or, without a blank in it, it ends
// like an alignment's file name (".fas", ".phy.gz", ...) or its folder exists, or one of the next
// lines of `input` names a file that can be opened. Reads on in `input`, whose first line is read.
bool names_a_first_entry(const std::string& line, int error, const std::string& not_regular,
                         BlockReader& input) {
  if (!not_regular.empty() || (error != ENOENT && error != ENOTDIR && error != ENAMETOOLONG)) {
    return true;
  }
  // A line with a blank in it is more likely a comment or title above an alignment ("# from
  // genes/cox1.fas") than a path: only the lines below can tell it is a paths file.
  if (line.find_first_of(" \t") == std::string::npos) {
    if (ends_like_an_alignment(line)) return true;
    if (const std::size_t slash = line.rfind('/');
        slash != std::string::npos && is_folder(slash == 0 ? "/" : line.substr(0, slash))) {
      return true;
    }
  }
  std::string next;
  for (int k = 0; k < kLinesLookedAt && next_path(input, next); ++k) {
    if (BlockReader::open(next)) return true;
  }
  return false;
}

}  // namespace

Detection checkfiletype(const std::string& filename, std::optional<InputFormat> in_format) {
  Detection found;
  std::optional<BlockReader> input =
      BlockReader::open(filename, &found.not_regular, Opening::kInput);
  if (!input) {
    found.error = errno;
    return found;
  }
  found.opened = true;
  found.read_once = input->read_once();
  const std::string line(input->first_nonblank_line());

  // An alignment's first line never names a file; a paths file's first line does.
  std::string not_regular;
  std::optional<BlockReader> first_alignment = BlockReader::open(line, &not_regular);
  if (!first_alignment) {
    const int error = errno;
    if (!claimed_by_a_format(line)) {
      const LineEnds ends = input->line_ends();
      ListedPath first;
      next_path(*input, first.path, &first.line);
      if (names_a_first_entry(line, error, not_regular, *input)) {
        // As a batch ends on any entry that cannot be opened.
        throw listed_error(
            FatalError("\nFile not opened\n", not_opened_detail("input", line, error, not_regular)),
            first, filename);
      }
      checkformat(line, filename, ends, in_format);  // ends the run: no format claims the line
    }
    found.format = checkformat(*input, in_format);
    found.first_path = filename;
    found.count = 1;
    found.first_alignment = std::move(input);
    return found;
  }

  found.paths_file = true;
  found.first_path = line;
  found.format = checkformat(*first_alignment, in_format);
  found.first_alignment = std::move(first_alignment);
  ListedPath listed;
  while (next_path(*input, listed.path, &listed.line)) {
    ++found.count;
    if (found.read_once) found.listed.push_back(listed);
  }
  return found;
}

}  // namespace selvane
