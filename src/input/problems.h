// The messages of what is wrong with an input file: the text on standard output and the detail
// on standard error that goes with it (see core/fatal.h).
#pragma once

#include <string>
#include <string_view>

#include "input/block_reader.h"
#include "input/read_problem.h"

namespace selvane {

// `text` in double quotes, cut to its first 40 characters (then "...") so that one line of a
// huge file cannot flood the terminal.
std::string quoted(std::string_view text);

// "PATH: WHAT". A file whose lines end in a carriage return alone (`ends`) reads as one long
// line, and whatever went wrong then is a consequence of that: the detail says so instead.
std::string file_detail(const std::string& path, LineEnds ends, std::string_view what);

// Ends the run with the message of `problem`, found in the input `path` whose lines end as
// `ends`.
[[noreturn]] void stop_reading(const ReadProblem& problem, const std::string& path, LineEnds ends);

// Why `path` cannot be opened for reading, with the system's reason `error` (an errno value):
// "cannot open input "PATH": REASON". A file refused for not being a regular file gives what it
// is instead (`not_regular`, "a FIFO"): "...: it is a FIFO, not a regular file".
std::string not_opened_detail(std::string_view role, const std::string& path, int error,
                              std::string_view not_regular = {});

// Opens `path` for reading; when it cannot be opened, ends the run ("\nFile not opened") with
// the detail above for a file of that `role` ("input", "paths file").
BlockReader open_or_stop(const std::string& path, std::string_view role);

}  // namespace selvane
