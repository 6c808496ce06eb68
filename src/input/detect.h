// Input type detection: alignment or paths file, and the format and sequence type of the
// (first) alignment. Detection only looks: it prints nothing and changes no setting; the driver
// reports and applies what it found.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/fatal.h"
#include "core/run_state.h"
#include "input/alignment.h"
#include "input/block_reader.h"

namespace selvane {

// Format and sequence type, as the first header line of an alignment tells them.
struct DetectedFormat {
  InputFormat format = InputFormat::kNone;
  SeqType type = SeqType::kUnknown;
};

// A path listed in a paths file, with the line it stands on.
struct ListedPath {
  std::string path;
  std::int64_t line = 0;
};

// What an input name turned out to be.
struct Detection {
  bool opened = false;      // false: the input could not be opened, and nothing else is known
  int error = 0;            // when not opened: the system's reason (an errno value)
  bool paths_file = false;  // a paths file listing alignments; otherwise an alignment itself
  std::string first_path;   // the alignment to read first: the input, or the first path listed
  std::int32_t count = 0;   // alignments the input stands for: 1, or the paths listed
  DetectedFormat format;    // of the (first) alignment; a batch reads all its alignments so
  std::string not_regular;  // not opened because it is no regular file: what it is ("a FIFO")
  // When opened: the (first) alignment, open and unread, so that it is loaded from the bytes
  // detection looked at, without opening it again.
  std::optional<BlockReader> first_alignment;
  // The input can be read only once (standard input, a pipe). A paths file is then kept whole
  // in `listed` (its alignments are regular files, read as any listed alignment is).
  bool read_once = false;
  std::vector<ListedPath> listed;
};

// What was read of an input that can be read only once, kept for the runs made of it (the menus
// may make several): its alignment, or the paths it lists. The driver keeps it with the current
// input and hands it to each run.
struct ReadOnceInput {
  std::optional<Alignment> alignment;  // a single alignment, as loaded
  std::vector<ListedPath> listed;      // a paths file
};

// Reads the next path of a paths file: the next line that is not blank (a blank line has
// nothing before its line end). False when no path is left. Detection counts the alignments
// with it and the batch loop reads them with it, so both skip the same lines. `line_number`,
// when given, counts the lines read, so that it ends on the line of the path returned.
bool next_path(BlockReader& paths, std::string& path, std::int64_t* line_number = nullptr);

// The first `count` paths of the paths file `filename`, read the way next_path() reads them (a
// file shortened since it was counted gives fewer). Fatal "\nFile not opened" when it cannot be
// opened. A batch reads its list once, before it writes anything.
std::vector<ListedPath> read_paths(const std::string& filename, std::int32_t count);

// `error`, met in the work on `listed` of the paths file `paths_file`, saying on standard error
// which listed path it came from and on which line.
FatalError listed_error(const FatalError& error, const ListedPath& listed,
                        const std::string& paths_file);

// Runs `step` for the alignment `listed`; a fatal error in it becomes listed_error().
template <class Step>
decltype(auto) for_listed(const ListedPath& listed, const std::string& paths_file, Step&& step) {
  try {
    return std::forward<Step>(step)();
  } catch (const FatalError& error) {
    throw listed_error(error, listed, paths_file);
  }
}

// The format and type of the alignment `path` from its first non-blank line `line` (without its
// line end), by the first row of the table of input formats that claims it; ends the run
// (FatalError) when none does or the line is wrong for the row that does. `ends`: the line
// ends of `path`, for the message. `in_format` is the choice of --in-format: without
// it only the formats read by default are tried, and a format that names no type is protein;
// with it, such a format leaves the type unknown (SeqType::kUnknown) for its letters to tell.
DetectedFormat checkformat(std::string_view line, const std::string& path = {},
                           LineEnds ends = LineEnds::kNone,
                           std::optional<InputFormat> in_format = std::nullopt);

// Decides what `filename` is. The input may be a regular file, a FIFO or standard input
// (Opening::kInput); gzip data is read decompressed. An input whose first non-blank line names a
// regular file that can be opened is a paths file. Format errors are fatal. Each file is opened
// once: the input, and for a paths file the first alignment it lists; the paths are counted
// from the input as it was opened. `in_format`: as for checkformat().
Detection checkfiletype(const std::string& filename,
                        std::optional<InputFormat> in_format = std::nullopt);

}  // namespace selvane
