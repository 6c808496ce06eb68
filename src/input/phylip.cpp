// PHYLIP: a line with the numbers of sequences and positions, then the sequences, each named by
// the line that starts it. Sequential files give each sequence whole, over as many lines as it
// takes; interleaved ones a first block of named lines, then blocks of unnamed lines in the same
// order, every line of a block as long as the others. A name is the first ten characters of its
// line (strict) or runs up to the first blank (relaxed; a name in quotes may hold blanks).
//
// None of this is marked in the file: the counts of the header tell. Both layouts are followed
// over the first lines until one of them no longer fits (the lines read meanwhile are kept and
// then read again the way that fits), and a line whose strict and relaxed names differ is read
// the way that gives the sequence, or the block, the length it must have.
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "input/formats.h"
#include "input/line_formats.h"
#include "input/residue_run.h"

namespace selvane {

namespace {

constexpr std::size_t kStrictName = 10;
constexpr std::string_view kHeaderWords = "the number of sequences and the number of positions";

struct Header {
  std::int32_t ntax = 0;
  std::int64_t nchar = 0;
};

// A positive number of at most nine digits at `at` (which moves past it); 0 when there is none.
std::int64_t number_at(std::string_view text, std::size_t& at) {
  std::int64_t value = 0;
  std::size_t digits = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits <= 9; ++at, ++digits) {
    value = value * 10 + (text[at] - '0');
  }
  if (digits == 0 || digits > 9 || (at < text.size() && !is_blank(text[at]))) return 0;
  return value;
}

// "NTAX NCHAR", perhaps followed by the option letters of old files; nullopt when the line
// does not begin with two positive numbers.
std::optional<Header> read_header(std::string_view line) {
  std::size_t at = skip_blanks(line, 0);
  Header header;
  header.ntax = static_cast<std::int32_t>(number_at(line, at));
  at = skip_blanks(line, at);
  header.nchar = number_at(line, at);
  if (header.ntax == 0 || header.nchar == 0) return std::nullopt;
  return header;
}

Sniffed sniff_phylip(std::string_view first_line) {
  return read_header(first_line) ? Sniffed::as(SeqType::kUnknown) : Sniffed();
}

// One way of reading the line that starts a sequence: its name, and its residues from `from`.
struct Reading {
  std::string name;
  std::size_t from = 0;
  std::size_t count = 0;  // residues from `from` on
};

// One or two readings, without a place of their own in memory: a first block holds a line for
// every sequence.
class Readings {
 public:
  const Reading* begin() const { return list_.data(); }
  const Reading* end() const { return list_.data() + size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Reading& operator[](std::size_t i) const { return list_[i]; }
  void push_back(Reading reading) { list_[size_++] = std::move(reading); }
  void clear() { size_ = 0; }

 private:
  std::array<Reading, 2> list_;
  std::size_t size_ = 0;
};

// The readings of a line that starts a sequence: the strict one, then the relaxed one when it
// differs. A line that starts with a quote or a blank has the relaxed one alone; an unclosed
// quote, none.
Readings readings_of(std::string_view text) {
  Readings found;
  Reading relaxed;
  if (text[0] == '\'' || text[0] == '"') {
    const std::size_t close = text.find(text[0], 1);
    if (close == std::string_view::npos) return found;
    relaxed.name = std::string(text.substr(1, close - 1));
    relaxed.from = close + 1;
  } else {
    const std::size_t start = skip_blanks(text, 0);
    relaxed.from = word_end(text, start);
    relaxed.name = std::string(text.substr(start, relaxed.from - start));
  }
  relaxed.count = count_line_residues(text.substr(relaxed.from));
  if (!is_blank(text[0]) && text[0] != '\'' && text[0] != '"') {
    Reading strict;
    strict.from = std::min(kStrictName, text.size());
    std::string_view name = text.substr(0, strict.from);
    while (!name.empty() && is_blank(name.back())) name.remove_suffix(1);
    strict.name = std::string(name);
    strict.count = count_line_residues(text.substr(strict.from));
    // Equal counts mean the same name and the same residues (the characters between the two
    // starting points are blanks).
    if (strict.count != relaxed.count) found.push_back(std::move(strict));
  }
  found.push_back(std::move(relaxed));
  return found;
}

// The problem of `line`, which starts sequence `sequence` (0: not known) with a quote that its
// line does not close.
ReadProblem unclosed_quote(const Line& line, std::int32_t sequence) {
  ReadProblem problem(ReadProblemKind::kUnended, line.number, sequence, std::string(line.text));
  problem.expected_text = "the quote that closes the name";
  return problem;
}

// One layout followed over the lines: fed one at a time, and dead once they cannot be read its
// way, with the problem that says why. With a sink it builds the alignment as it goes; without
// one it only checks.
class Layout {
 public:
  Layout(const Header& header, SequenceSink* sink, bool long_names)
      : header_(header), sink_(sink), long_names_(long_names) {}
  virtual ~Layout() = default;
  virtual void feed(const Line& line) = 0;
  // The input has ended after line `last`.
  virtual void end(std::int64_t last) = 0;

  bool dead() const { return problem_.has_value(); }
  const std::optional<ReadProblem>& problem() const { return problem_; }
  // The line where a further data set begins, once every sequence was read (0: none yet).
  std::int64_t finished_at() const { return finished_at_; }

 protected:
  void die(ReadProblem problem) {
    if (!problem_) problem_ = std::move(problem);
  }
  ReadProblem too_long_or_short(std::int64_t at, std::int32_t sequence, std::string name,
                                std::size_t count) const {
    ReadProblem problem(ReadProblemKind::kLengthVsHeader, at, sequence, std::move(name));
    problem.count = static_cast<std::int64_t>(count);
    problem.expected = header_.nchar;
    return problem;
  }
  // Starts the row of `reading`, the first line of a sequence found on line `at`, in the sink.
  void start_row(std::string_view text, const Reading& reading, std::int64_t at) {
    if (auto problem = name_too_long(*sink_, reading.name, long_names_, at)) die(*problem);
    if (dead()) return;
    sink_->add_row(reading.name);
    sink_->append(sink_->next_index() - 1, text.substr(reading.from));
  }

  // After the last position, a line: the header of a further data set, or an error.
  void after_end(const Line& line) {
    if (read_header(line.text)) {
      finished_at_ = line.number;
    } else {
      die(ReadProblem(ReadProblemKind::kAfterEnd, line.number, 0, std::string(line.text)));
    }
  }

  Header header_;
  SequenceSink* sink_;
  bool long_names_;

 private:
  std::optional<ReadProblem> problem_;
  std::int64_t finished_at_ = 0;
};

// Each sequence whole before the next. A sequence whose first line reads two ways keeps its
// lines until one of the readings reaches the length of the header.
class Sequential final : public Layout {
 public:
  using Layout::Layout;

  void feed(const Line& line) override {
    if (dead() || finished_at() > 0 || blank_line(line.text)) return;
    if (readings_.empty()) {
      if (done_ == header_.ntax) return after_end(line);
      readings_ = readings_of(line.text);
      if (readings_.empty()) return die(unclosed_quote(line, 0));
      start_line_ = line.number;
      for (std::size_t i = 0; i < readings_.size(); ++i) totals_[i] = readings_[i].count;
      if (sink_ != nullptr && readings_.size() == 1) {
        start_row(line.text, readings_[0], line.number);
      } else if (sink_ != nullptr) {
        pending_.push_back(line);
      }
    } else {
      std::size_t count = 0;
      if (sink_ != nullptr && readings_.size() == 1) {
        count = sink_->append(sink_->next_index() - 1, line.text);
      } else {
        count = count_line_residues(line.text);
        if (sink_ != nullptr) pending_.push_back(line);
      }
      for (std::size_t i = 0; i < readings_.size(); ++i) totals_[i] += count;
    }
    settle(line.number);
  }

  void end(std::int64_t last) override {
    if (dead()) return;
    if (!readings_.empty()) return die(too_long_or_short(start_line_, nearest()));
    if (done_ < header_.ntax) {
      ReadProblem problem(ReadProblemKind::kCountVsHeader, last);
      problem.count = done_;
      problem.expected = header_.ntax;
      die(problem);
    }
  }

 private:
  // Ends the sequence when a reading has reached the header's length, or the run when none can.
  void settle(std::int64_t at) {
    for (std::size_t i = 0; i < readings_.size(); ++i) {
      if (totals_[i] != static_cast<std::size_t>(header_.nchar)) continue;
      if (sink_ != nullptr && readings_.size() > 1) {
        start_row(pending_[0].text, readings_[i], pending_[0].number);
        for (std::size_t p = 1; p < pending_.size() && !dead(); ++p) {
          sink_->append(sink_->next_index() - 1, pending_[p].text);
        }
      }
      readings_.clear();
      pending_.clear();
      ++done_;
      return;
    }
    const auto end = totals_.begin() + static_cast<std::ptrdiff_t>(readings_.size());
    const bool fits = std::any_of(totals_.begin(), end, [&](std::size_t total) {
      return total < static_cast<std::size_t>(header_.nchar);
    });
    if (!fits) die(too_long_or_short(at, nearest()));
  }

  // For a message: the sequence under the reading whose length comes nearest the header's.
  ReadProblem too_long_or_short(std::int64_t at, std::size_t reading) const {
    return Layout::too_long_or_short(at, done_ + 1, readings_[reading].name, totals_[reading]);
  }
  std::size_t nearest() const {
    const auto distance = [&](std::size_t total) {
      const auto nchar = static_cast<std::size_t>(header_.nchar);
      return total > nchar ? total - nchar : nchar - total;
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < readings_.size(); ++i) {
      if (distance(totals_[i]) < distance(totals_[best])) best = i;
    }
    return best;
  }

  std::int32_t done_ = 0;                // sequences read whole
  Readings readings_;                    // of the sequence being read; empty between sequences
  std::array<std::size_t, 2> totals_{};  // its positions so far, by reading
  std::int64_t start_line_ = 0;
  KeptLines pending_;  // its lines while its reading is undecided (with a sink)
};

// A first block of named lines, then unnamed blocks, each line as long as its block's first.
// Every sequence has the same length after each block, so one count stands for them all; the
// first block may leave two: its lines read two ways, each giving all of them one length. The
// next block decides (its lines are usually as long), or else the header's length at the end.
class Interleaved final : public Layout {
 public:
  // `width`: the length of the first block when it is known (from a check of the same lines).
  Interleaved(const Header& header, SequenceSink* sink, bool long_names, std::size_t width = 0)
      : Layout(header, sink, long_names) {
    if (width > 0) widths_.push_back(width);
  }

  // Whether the length of the first block is known: the lines read so far allow one length, and
  // those to come can only refuse it.
  bool resolved() const { return widths_.size() == 1; }
  std::size_t width() const { return widths_.empty() ? 0 : widths_[0]; }

  void feed(const Line& line) override {
    if (dead() || finished_at() > 0) return;
    if (blank_line(line.text)) {
      if (in_block_ > 0) die(unended(line.number));
      return;
    }
    if (block_ > 0 && in_block_ == 0) {
      // Another block: a reading under which every position was read already is not the one,
      // unless the line starts a further data set.
      const auto complete = [&](std::size_t w) { return w + rest_ == nchar(); };
      if (read_header(line.text) && std::any_of(widths_.begin(), widths_.end(), complete)) {
        std::erase_if(widths_, [&](std::size_t w) { return !complete(w); });
        return after_end(line);
      }
      std::erase_if(widths_, complete);
      if (widths_.empty()) return after_end(line);
    }
    if (block_ == 0) {
      first_block_line(line);
    } else {
      later_block_line(line);
    }
    if (dead() || ++in_block_ < header_.ntax) return;
    // The end of a block.
    if (block_ > 0) rest_ += block_width_;
    const std::size_t shown = widths_[0] + rest_;
    std::erase_if(widths_, [&](std::size_t w) { return w + rest_ > nchar(); });
    if (widths_.empty()) return die(too_long_or_short(line.number, 1, names_[0], shown));
    ++block_;
    in_block_ = 0;
  }

  void end(std::int64_t last) override {
    if (dead()) return;
    if (in_block_ > 0 || block_ == 0) return die(unended(last));
    const std::size_t shown = widths_[0] + rest_;
    std::erase_if(widths_, [&](std::size_t w) { return w + rest_ != nchar(); });
    if (widths_.empty()) die(too_long_or_short(last, 1, names_[0], shown));
  }

 private:
  std::size_t nchar() const { return static_cast<std::size_t>(header_.nchar); }

  ReadProblem unended(std::int64_t at) const {
    ReadProblem problem(ReadProblemKind::kBlockUnended, at);
    problem.block = block_ + 1;
    problem.count = in_block_;
    problem.expected = header_.ntax;
    return problem;
  }

  void first_block_line(const Line& line) {
    const Readings readings = readings_of(line.text);
    if (readings.empty()) return die(unclosed_quote(line, in_block_ + 1));
    // The lengths this line allows that every line before it allowed too.
    std::vector<std::size_t> allowed;
    for (const Reading& reading : readings) {
      const bool fits = reading.count > 0 &&
                        (widths_.empty() ||
                         std::find(widths_.begin(), widths_.end(), reading.count) != widths_.end());
      if (fits) allowed.push_back(reading.count);
    }
    if (allowed.empty()) {
      ReadProblem problem(ReadProblemKind::kLengthVsBlock, line.number, in_block_ + 1,
                          readings[0].name);
      problem.block = 1;
      problem.count = static_cast<std::int64_t>(readings[0].count);
      problem.expected = static_cast<std::int64_t>(width());
      return die(problem);
    }
    widths_ = allowed;
    for (const Reading& reading : readings) {
      if (reading.count == allowed[0]) {
        names_.push_back(reading.name);
        break;
      }
    }
    if (sink_ == nullptr) return;
    // With a sink the length is known: the reading that gives it.
    for (const Reading& reading : readings) {
      if (reading.count == widths_[0]) return start_row(line.text, reading, line.number);
    }
  }

  void later_block_line(const Line& line) {
    const std::size_t count =
        sink_ != nullptr ? sink_->append(in_block_ + 1, line.text) : count_line_residues(line.text);
    if (in_block_ == 0) {
      block_width_ = count;
      // Blocks are written alike: when more follow the second under both readings of the first,
      // the first is as long as the second, which its first line tells.
      const auto short_of_all = [&](std::size_t w) { return w + count < nchar(); };
      if (block_ == 1 && widths_.size() == 2 &&
          std::all_of(widths_.begin(), widths_.end(), short_of_all) &&
          std::count(widths_.begin(), widths_.end(), count) == 1) {
        widths_ = {count};
      }
    } else if (count != block_width_) {
      ReadProblem problem(ReadProblemKind::kLengthVsBlock, line.number, in_block_ + 1,
                          names_[static_cast<std::size_t>(in_block_)]);
      problem.block = block_ + 1;
      problem.count = static_cast<std::int64_t>(count);
      problem.expected = static_cast<std::int64_t>(block_width_);
      die(problem);
    }
  }

  std::vector<std::size_t> widths_;  // the lengths the first block may have
  std::vector<std::string> names_;   // of the first block, for messages
  std::int32_t block_ = 0;           // blocks read whole
  std::int32_t in_block_ = 0;        // lines of the current block read
  std::size_t block_width_ = 0;      // the length of the current block after the first
  std::size_t rest_ = 0;             // positions of the blocks after the first, read whole
};

std::optional<ReadProblem> read_phylip(BlockReader& in, SequenceSink& sink,
                                       const ReadOptions& options) {
  LineReader lines(in);
  Line line;
  bool more = first_nonblank(lines, line);
  const std::optional<Header> header = more ? read_header(line.text) : std::nullopt;
  if (!header) return bad_header(line, more, kHeaderWords);
  sink.expect_rows(header->ntax, header->nchar);
  more = first_nonblank(lines, line);

  std::unique_ptr<Layout> layout;
  KeptLines kept;  // the lines read before the layout was known
  const Readings first = more ? readings_of(line.text) : Readings();
  const bool whole = std::any_of(first.begin(), first.end(), [&](const Reading& reading) {
    return reading.count == static_cast<std::size_t>(header->nchar);
  });
  if (!more || whole) {
    // One line for each sequence: either layout reads it so.
    layout = std::make_unique<Sequential>(*header, &sink, options.long_names);
  } else {
    Sequential sequential(*header, nullptr, options.long_names);
    Interleaved interleaved(*header, nullptr, options.long_names);
    for (;;) {
      kept.push_back(line);
      sequential.feed(line);
      interleaved.feed(line);
      more = lines.next(line);
      if (!more) {
        sequential.end(line.number - 1);
        interleaved.end(line.number - 1);
        break;
      }
      const bool finished = sequential.finished_at() > 0 || interleaved.finished_at() > 0;
      const bool decided = finished || ((sequential.dead() || interleaved.dead()) &&
                                        (interleaved.dead() || interleaved.resolved()));
      if (decided) break;
    }
    if (!interleaved.dead()) {
      layout =
          std::make_unique<Interleaved>(*header, &sink, options.long_names, interleaved.width());
    } else if (!sequential.dead()) {
      layout = std::make_unique<Sequential>(*header, &sink, options.long_names);
    } else {
      // Neither fits: the one that went further says why.
      const ReadProblem& a = *sequential.problem();
      const ReadProblem& b = *interleaved.problem();
      return a.line > b.line ? a : b;
    }
  }
  const auto going = [&] { return !layout->dead() && layout->finished_at() == 0; };
  for (std::size_t i = 0; i < kept.size() && going(); ++i) layout->feed(kept[i]);
  for (; more && going(); more = lines.next(line)) layout->feed(line);
  layout->end(line.number - (more ? 0 : 1));
  if (layout->problem()) return layout->problem();
  if (layout->finished_at() > 0) sink.further_alignment(layout->finished_at());
  return sink.end_rows();
}

}  // namespace

extern const InputFormatRow kPhylipFormat = {
    InputFormat::kPhylip,
    "phylip",
    "PHYLIP",
    "a line with the number of sequences and the number of positions",
    false,
    sniff_phylip,
    read_phylip};

}  // namespace selvane
