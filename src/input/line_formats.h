// What the readers of the formats laid out in lines share (PHYLIP, Clustal, Stockholm, NEXUS):
// numbered lines, blanks and words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "input/block_reader.h"
#include "input/read_problem.h"
#include "input/residue_run.h"

namespace selvane {

// A line of the input without its line end, and its number from 1. The text lies in the
// reader's buffer: it is valid until the next line is read. At least kLineCopySlack bytes after
// it can be read (residue_run.h): every part of it can go to SequenceSink::append.
struct Line {
  std::string_view text;
  std::int64_t number = 0;
};

// Lines kept beyond the next one, in one stretch of memory, each as readable after its end as
// a Line.
class KeptLines {
 public:
  void push_back(const Line& line) {
    kept_.push_back({text_.size(), line.text.size(), line.number});
    text_.append(line.text);
    text_.append(kLineCopySlack, ' ');
  }
  std::size_t size() const { return kept_.size(); }
  bool empty() const { return kept_.empty(); }
  Line operator[](std::size_t i) const {
    return {std::string_view(text_).substr(kept_[i].start, kept_[i].length), kept_[i].number};
  }
  void clear() {
    text_.clear();
    kept_.clear();
  }

 private:
  struct Kept {
    std::size_t start, length;
    std::int64_t number;
  };
  std::string text_;
  std::vector<Kept> kept_;
};

// Hands out the lines of an input, where they lie whole in the reader's block without copying
// them: these formats are read a line at a time, and their lines are short. The lines handed
// out are consumed from the reader a block at a time, and when the LineReader ends.
class LineReader {
 public:
  explicit LineReader(BlockReader& in) : in_(in), number_(in.line()) {}
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader() { settle(); }

  // The block the lines handed out lie in, unless they had to be copied, and how many blocks
  // came before it: the same memory holds one block after another.
  std::string_view block() const { return block_; }
  std::uint64_t blocks_before() const { return blocks_; }

  // The next line; false at the end of the input (`line.number` is then one past the last).
  bool next(Line& line) {
    line.number = number_;
    const std::size_t left = block_.size() - at_;
    const char* start = block_.data() + at_;
    const void* found = left > 0 ? std::memchr(start, '\n', left) : nullptr;
    if (found == nullptr) return next_block(line);
    std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
    // A line that ends near the end of the block lacks the bytes after it: copied.
    if (length + kLineCopySlack > left) return next_block(line);
    at_ += length + 1;
    ++lines_;
    ++number_;
    if (length > 0 && start[length - 1] == '\r') --length;
    line.text = std::string_view(start, length);
    return true;
  }

 private:
  // next() where the current block holds no further line end.
  bool next_block(Line& line);
  // Consumes from the reader what was handed out of the current block.
  void settle();

  BlockReader& in_;
  std::string_view block_;  // the reader's current block
  std::size_t at_ = 0;      // handed out of it
  std::size_t lines_ = 0;   // lines handed out of it
  std::int64_t number_;     // of the next line
  std::uint64_t blocks_ = 0;
  std::string spilled_;  // a line that runs past the end of a block
};

// Reads the first line of `lines` that is not blank into `line`; false when there is none.
bool first_nonblank(LineReader& lines, Line& line);

// The problem of a header that gives `text` on line `at` (empty: nothing at all) where it must
// give `expected`.
ReadProblem bad_header(std::int64_t at, std::string text, std::string_view expected);
// The problem of a file whose first line that is not blank, `line` (none when `found` is false),
// is not `expected`, what the format begins with.
ReadProblem bad_header(const Line& line, bool found, std::string_view expected);
// The problem of a file that ends, on line `at`, without `what`.
ReadProblem unended(std::int64_t at, std::string_view what);

// Blanks and tabs separate names, words and residues in these formats.
inline bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// The first position at or after `from` where a byte is (when `blank`) or is not a blank
// (text.size() when there is none).
std::size_t find_blank(std::string_view text, std::size_t from, bool blank);

// The first position at or after `from` that is not a blank (text.size() when none is left).
// Most lines and words begin without one: that is known without a call.
inline std::size_t skip_blanks(std::string_view text, std::size_t from) {
  if (from < text.size() && !is_blank(text[from])) return from;
  return find_blank(text, from, false);
}

// Whether `text` holds nothing but blanks.
inline bool blank_line(std::string_view text) {
  return skip_blanks(text, 0) == text.size();
}

// The first blank at or after `from` (text.size() when none is left).
std::size_t word_end(std::string_view text, std::size_t from);

}  // namespace selvane
