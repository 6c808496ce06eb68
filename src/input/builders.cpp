#include "input/builders.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "core/fatal.h"
#include "input/residue_run.h"

namespace selvane {

namespace {

// The room taken for an input of unknown size before any of it is read.
constexpr std::size_t kUnsized = std::size_t{1} << 26;

// Appends the residues of one sequence to `rows`; see SequenceSink::scan.
bool scan_sequence(BlockReader& in, char stop, RowStorage& rows) {
  for (;;) {
    const std::string_view block = in.buffered();
    if (block.empty()) return false;
    const char* p = block.data();
    const std::size_t n = block.size();
    // Room for every byte of the block (not zeroed: it is written before it is kept); what is
    // not kept is given back below. The room an input's known size reserved holds it; without
    // one, the buffer grows geometrically.
    const std::size_t start = rows.size();
    rows.resize(start + n);
    const CopiedResidues copied = copy_residues(p, n, stop, rows.data() + start);
    const std::size_t i = copied.read;
    const std::size_t k = copied.stored;
    // Short of the block's end, the copy stopped at the stop character or at a carriage return
    // that ends the block: whether that one is a residue is told by the next block.
    const bool stopped = i < n && p[i] == stop;
    const bool carriage_return_last = i < n && !stopped;
    rows.resize(start + k);
    if (stopped) {
      in.consume_counted(i + 1, copied.line_feeds);
      return true;
    }
    in.consume_counted(n, copied.line_feeds);
    if (carriage_return_last && in.peek() != '\n') rows.push_back('\r');
  }
}

}  // namespace

AlignmentBuilder::AlignmentBuilder(std::size_t size_hint) : size_hint_(size_hint) {
  al_.name.emplace_back();  // entry 0 holds nothing
  // An input holds at least one byte per residue and one per sequence (its header's first
  // character), so its size bounds the buffer and it never has to grow. Pages reserved but
  // never written cost no memory.
  if (size_hint > 0) {
    allocating("let", [&] { rows_.reserve(size_hint); });
    return;
  }
  // An input of unknown size (a pipe) gets room for a large alignment at once: growing from a
  // few bytes would copy its first megabytes and fill them a small page at a time. Only
  // address space; where even that is refused, the buffer grows as it fills.
  try {
    rows_.reserve(kUnsized);
  } catch (const std::bad_alloc&) {
  }
}

void AlignmentBuilder::begin_sequence(std::string_view name) {
  const std::int32_t s = next_index();
  std::string text = allocating("name", s, [&] { return std::string(name); });
  allocating("name", [&] { al_.name.push_back(std::move(text)); });
  // The message of a row names its sequence on a line of its own.
  allocating("let\n", s, [&] { rows_.push_back('\0'); });  // the padding byte of the row
  row_start_ = rows_.size();
}

bool AlignmentBuilder::scan(BlockReader& in, char stop) {
  return allocating("let\n", next_index(), [&] { return scan_sequence(in, stop, rows_); });
}

std::optional<ReadProblem> AlignmentBuilder::end_sequence(std::int64_t line) {
  const std::size_t length = rows_.size() - row_start_;
  if (al_.numseq == 0) {
    al_.nupo = static_cast<std::int32_t>(length);
    reserve_names(length);
  } else if (length != static_cast<std::size_t>(al_.nupo)) {
    const std::int32_t s = next_index();
    ReadProblem problem(ReadProblemKind::kUnequalLengths, line, s,
                        al_.name[static_cast<std::size_t>(s)]);
    problem.count = static_cast<std::int64_t>(length);
    problem.expected = al_.nupo;
    problem.expected_text = al_.name[1];
    return problem;
  }
  ++al_.numseq;
  return std::nullopt;
}

void AlignmentBuilder::add_row(std::string_view name) {
  const std::int32_t s = next_index();
  std::string text = allocating("name", s, [&] { return std::string(name); });
  allocating("name", [&] { al_.name.push_back(std::move(text)); });
  allocating("let\n", s, [&] {
    lengths_.push_back(0);
    rows_.resize(static_cast<std::size_t>(s) * stride_);
  });
  ++al_.numseq;
  if (stride_ > 0) rows_[static_cast<std::size_t>(s - 1) * stride_] = '\0';
}

std::size_t AlignmentBuilder::append(std::int32_t s, std::string_view text) {
  const auto index = static_cast<std::size_t>(s - 1);
  const std::size_t length = lengths_[index];
  const auto row = [&] { return rows_.data() + index * stride_ + 1 + length; };
  std::size_t stored = 0;
  if (length + 1 + text.size() + kLineCopySlack <= stride_) {
    stored = copy_line_residues(text, row());
  } else {
    // The blanks of the line may leave its residues room enough: counted before the row grows.
    scratch_.resize(text.size() + kLineCopySlack);
    stored = copy_line_residues(text, scratch_.data());
    if (length + 1 + stored > stride_) widen(length + 1 + stored);
    std::memcpy(row(), scratch_.data(), stored);
  }
  lengths_[index] = length + stored;
  return stored;
}

void AlignmentBuilder::widen(std::size_t stride) {
  if (stride <= stride_) return;
  const std::size_t wider = std::max(stride, 2 * stride_);
  const std::size_t old = stride_;
  allocating("let\n", al_.numseq,
             [&] { rows_.resize(static_cast<std::size_t>(al_.numseq) * wider); });
  stride_ = wider;
  // Every row moves to a place at or after its old one: from the last row back, none is
  // overwritten before it has moved.
  for (std::size_t s = lengths_.size(); s-- > 0;) {
    char* from = rows_.data() + s * old;
    char* to = rows_.data() + s * wider;
    if (old == 0) {
      *to = '\0';
    } else {
      std::memmove(to, from, 1 + lengths_[s]);
    }
  }
}

void AlignmentBuilder::expect_rows(std::int32_t numseq, std::int64_t width) {
  if (numseq < 1) return;
  const auto rows = static_cast<std::size_t>(numseq);
  // Each residue takes a byte of the input, and each row at least one more: the input's size
  // bounds the room worth making. An input of unknown size is taken at its word up to a bound,
  // and its rows grow from there as they fill.
  const std::size_t budget = size_hint_ > 0 ? size_hint_ : kUnsized;
  std::size_t stride = budget / rows;
  if (width > 0) {
    stride = std::min(stride, static_cast<std::size_t>(width) + 1);
  } else if (size_hint_ == 0) {
    return;
  }
  // Rows a whole number of cache lines apart, an odd number: the rows a block fills one after
  // the other then fall into different sets of the cache. A stride near a power of two (a
  // width of 2000) would send them all into a few sets, each line written evicting the last.
  // finish() closes the rows up.
  constexpr std::size_t kLine = 64;
  if (stride >= 4 * kLine) stride = ((stride + kLine - 1) / kLine | 1) * kLine;
  widen(stride);
  if (rows * stride_ <= budget) allocating("let\n", [&] { rows_.reserve(rows * stride_); });
  if (rows * sizeof(std::string) <= budget) {
    allocating("name", [&] {
      al_.name.reserve(rows + 1);
      lengths_.reserve(rows);
    });
  }
}

std::optional<ReadProblem> AlignmentBuilder::end_rows() {
  for (std::size_t s = 1; s < lengths_.size(); ++s) {
    if (lengths_[s] == lengths_[0]) continue;
    const auto index = static_cast<std::int32_t>(s + 1);
    ReadProblem problem(ReadProblemKind::kUnequalLengths, 0, index, al_.name[s + 1]);
    problem.count = static_cast<std::int64_t>(lengths_[s]);
    problem.expected = static_cast<std::int64_t>(lengths_[0]);
    problem.expected_text = al_.name[1];
    return problem;
  }
  if (!lengths_.empty()) al_.nupo = static_cast<std::int32_t>(lengths_[0]);
  return std::nullopt;
}

Alignment AlignmentBuilder::finish() {
  if (!lengths_.empty()) {
    // Rows filled in pieces are closed up to the stride of their common length; each moves to
    // a place at or before its old one.
    const std::size_t stride = static_cast<std::size_t>(al_.nupo) + 1;
    for (std::size_t s = 0; s < lengths_.size() && stride != stride_; ++s) {
      std::memmove(rows_.data() + s * stride, rows_.data() + s * stride_, stride);
    }
    rows_.resize(lengths_.size() * stride);
  }
  al_.let.storage() = std::move(rows_);
  al_.let.reshape(al_.numseq, al_.nupo);
  return std::move(al_);
}

// Every row is as long as the first, and the input holds a byte for each residue and at least
// one for each sequence: its size bounds the number of sequences. The names get that room at
// once rather than growing step by step, each step copying every name into fresh pages; but
// only when the room is no larger than the input itself.
void AlignmentBuilder::reserve_names(std::size_t row_length) {
  if (size_hint_ == 0) {
    // An input of unknown size is taken to be as large as the room its rows got at first.
    const std::size_t most = kUnsized / (row_length + 1) + 1;
    try {
      if (most * sizeof(std::string) <= kUnsized) al_.name.reserve(most + 1);
    } catch (const std::bad_alloc&) {
    }
    return;
  }
  const std::size_t most = size_hint_ / (row_length + 1) + 1;
  if (most * sizeof(std::string) <= size_hint_) {
    allocating("name", [&] { al_.name.reserve(most + 1); });
  }
}

void NamesBuilder::begin_sequence(std::string_view name) {
  allocating("name", static_cast<std::int64_t>(names_.size()), [&] { names_.emplace_back(name); });
}

void NamesBuilder::add_row(std::string_view name) {
  begin_sequence(name);
  ++ended_;
}

std::size_t NamesBuilder::append(std::int32_t, std::string_view text) {
  return count_line_residues(text);
}

bool NamesBuilder::scan(BlockReader& in, char stop) {
  for (std::string_view block; !(block = in.buffered()).empty();) {
    const void* found = std::memchr(block.data(), stop, block.size());
    if (found != nullptr) {
      in.consume(static_cast<std::size_t>(static_cast<const char*>(found) - block.data()) + 1);
      return true;
    }
    in.consume(block.size());
  }
  return false;
}

std::optional<ReadProblem> header_too_long(const SequenceSink& sink, const std::string& line,
                                           bool ended, std::size_t marker, bool long_names,
                                           std::int64_t line_number) {
  const std::size_t length = line.size() + (ended ? 1 : 0);
  if (long_names || length <= kMaxHeaderLength) return std::nullopt;
  marker = std::min(marker, line.size());
  ReadProblem problem(ReadProblemKind::kNameTooLong, line_number, sink.next_index(),
                      line.substr(marker));
  problem.count = static_cast<std::int64_t>(line.size() - marker);
  problem.expected = static_cast<std::int64_t>(kMaxHeaderLength - (ended ? 1 : 0) - marker);
  return problem;
}

std::optional<ReadProblem> name_too_long(const SequenceSink& sink, std::string_view name,
                                         bool long_names, std::int64_t line_number) {
  if (long_names || name.size() <= kMaxNameLength) return std::nullopt;
  ReadProblem problem(ReadProblemKind::kNameTooLong, line_number, sink.next_index(),
                      std::string(name));
  problem.count = static_cast<std::int64_t>(name.size());
  problem.expected = static_cast<std::int64_t>(kMaxNameLength);
  return problem;
}

}  // namespace selvane
