// Information for people on standard error.
//
// Standard output carries the program's own texts, which scripts and stored logs rely on; what
// goes beyond them (which file, which line, the system's reason, a hint) is written here, one
// line each, starting "selvane: " and naming the file it concerns.
#pragma once

#include <string>
#include <string_view>

#include "core/writer.h"

namespace selvane {

// Writes "selvane: " + text + "\n" to standard error. `out` (standard output) is flushed first,
// so that on a terminal the two streams read in the order they were written.
void diagnose(Writer& out, std::string_view text);

// `text` whole, in double quotes: how those lines show a name, an argument or a value.
std::string in_quotes(std::string_view text);

}  // namespace selvane
