// Input type detection: alignment or paths file, format and sequence type, and path splitting.
#pragma once

#include <string>
#include <string_view>

#include "core/path_split.h"
#include "core/run_state.h"
#include "core/writer.h"
#include "input/block_reader.h"

namespace selvane {

// Reads the next path of a paths file: the next line that is not blank (a blank line has
// nothing before its line end). False when no path is left. Detection counts the alignments
// with it and the batch loop reads them with it, so both skip the same lines.
bool next_path(BlockReader& paths, std::string& path);

// Sets fileformat and seq_type from the first non-blank line of an alignment (without its line
// end), or ends the run (FatalError) when the line names no known format.
void checkformat(std::string_view line, RunState& st);

// Decides what st.input.filename is. Prints "\n* File not opened *" and empties st.input.filename
// when it cannot be opened; otherwise sets fichero1, tog_sb, numal, fileformat, seq_type and, for a
// paths file, name_file, path_file, name_pathsfile, and resets tog_sub, warn and the three
// concatenation switches. Format errors are fatal.
void checkfiletype(RunState& st, Writer& out);

}  // namespace selvane
