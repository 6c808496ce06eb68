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

// Writes "selvane: " + text + "\n" to standard error, `text` shown by shown_on_one_line(): the
// names and paths it quotes come from files and users, and one of them must neither act on the
// terminal nor forge a line of its own. `out` (standard output) is flushed first, so that on a
// terminal the two streams read in the order they were written.
void diagnose(Writer& out, std::string_view text);

// `text` with every byte that is not printable UTF-8 written as an escape: tab, line feed and
// carriage return as \t, \n and \r; any other control character (0x00 to 0x1f, 0x7f and, in
// UTF-8, U+0080 to U+009F) and any byte that is not part of valid UTF-8 as \xHH (two lowercase
// hexadecimal digits, one escape per byte). Printable characters, UTF-8 ones included, and
// backslashes are left as they are.
std::string shown_on_one_line(std::string_view text);

// `text` whole, in double quotes: how those lines show a name, an argument or a value.
std::string in_quotes(std::string_view text);

}  // namespace selvane
