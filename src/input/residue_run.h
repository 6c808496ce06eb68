// The inner step of the sequence readers: copying a run of residue characters.
#pragma once

#include <cstddef>

namespace selvane {

// Copies the residue characters that stand together at the start of `from` (n bytes) to `to`,
// storing '.' as '-', up to the first byte that is not a residue character: a blank, a line
// feed, a carriage return or `stop`. Returns how many bytes were copied; when that is less
// than n, from[result] is the byte that ended the run.
// `to` must have room for n bytes: bytes past the result may be written too, and hold nothing
// of use.
std::size_t copy_residue_run(const char* from, std::size_t n, char stop, char* to);

}  // namespace selvane
