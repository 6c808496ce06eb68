// The inner step of the sequence readers: copying the residues of a stretch of text.
#pragma once

#include <cstddef>
#include <string_view>

namespace selvane {

struct CopiedResidues {
  std::size_t read = 0;        // bytes of the text consumed
  std::size_t stored = 0;      // residue characters written
  std::size_t line_feeds = 0;  // among the bytes read
};

// Copies the residue characters of `from` (n bytes) to `to`, storing '.' as '-' and leaving out
// blanks and line ends, up to the first `stop` character or the end of the text. A carriage
// return right before a line feed belongs to the line end; anywhere else it is a residue,
// except as the last byte of the text, where the next byte decides: the copy stops there.
// When fewer than n bytes were read, from[read] is the `stop` character or that carriage return.
// `to` must have room for n bytes: bytes past the stored ones may be written too, and hold
// nothing of use.
CopiedResidues copy_residues(const char* from, std::size_t n, char stop, char* to);

// The bytes a text handed to copy_line_residues() must have readable after its end, and its
// destination writable after the residues it receives: it reads and writes sixteen bytes at a
// time.
inline constexpr std::size_t kLineCopySlack = 16;

// The line formats (PHYLIP, Clustal, Stockholm, NEXUS) separate residues by blanks and tabs:
// copies the residue characters of `text` (a line without its line end, or part of one) to
// `to`, leaving out blanks and tabs and storing '.' as '-', and returns how many were stored.
// kLineCopySlack bytes after `text` must be readable (their values do not matter), and `to`
// must have room for text.size() + kLineCopySlack bytes.
std::size_t copy_line_residues(std::string_view text, char* to);
// How many residue characters copy_line_residues() finds in `text`.
std::size_t count_line_residues(std::string_view text);

// The position of the first of the four characters of `set` in `text`; text.size() for none.
std::size_t first_of_any(std::string_view text, const char (&set)[5]);

// The number of line feeds among the n bytes of `text`.
std::size_t count_line_feeds(const char* text, std::size_t n);

}  // namespace selvane
