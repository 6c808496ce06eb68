#include "input/builders.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/fatal.h"
#include "input/residue_run.h"

namespace selvane {

namespace {

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
  allocating("let", [&] { rows_.reserve(size_hint); });
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

Alignment AlignmentBuilder::finish() {
  al_.let.storage() = std::move(rows_);
  al_.let.reshape(al_.numseq, al_.nupo);
  return std::move(al_);
}

// Every row is as long as the first, and the input holds a byte for each residue and at least
// one for each sequence: its size bounds the number of sequences. The names get that room at
// once rather than growing step by step, each step copying every name into fresh pages; but
// only when the room is no larger than the input itself.
void AlignmentBuilder::reserve_names(std::size_t row_length) {
  const std::size_t most = size_hint_ / (row_length + 1) + 1;
  if (most * sizeof(std::string) <= size_hint_) {
    allocating("name", [&] { al_.name.reserve(most + 1); });
  }
}

void NamesBuilder::begin_sequence(std::string_view name) {
  allocating("name", static_cast<std::int64_t>(names_.size()), [&] { names_.emplace_back(name); });
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

}  // namespace selvane
