// The two sinks of the format readers: the alignment, and its names alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input/alignment.h"
#include "input/sequence_sink.h"

namespace selvane {

// Gathers sequences into one buffer laid out as Rows expects: each row its padding byte, then
// its residues. A sequence read whole (begin_sequence) must come out as long as the first, so
// the layout is final as it is read. Rows filled in pieces (add_row) each get room for a
// stride of bytes, doubled when one outgrows it; finish() closes them up.
class AlignmentBuilder final : public SequenceSink {
 public:
  // `size_hint`: the size of the input in bytes when it is known, 0 otherwise.
  explicit AlignmentBuilder(std::size_t size_hint);

  std::int32_t next_index() const override { return al_.numseq + 1; }
  void begin_sequence(std::string_view name) override;
  bool scan(BlockReader& in, char stop) override;
  std::optional<ReadProblem> end_sequence(std::int64_t line) override;

  void add_row(std::string_view name) override;
  std::size_t append(std::int32_t s, std::string_view text) override;
  void expect_rows(std::int32_t numseq, std::int64_t width) override;
  std::optional<ReadProblem> end_rows() override;
  void declare_type(SeqType type) override { al_.declared_type = type; }
  void further_alignment(std::int64_t line) override { al_.unread_from = line; }

  // The alignment read, as the input holds it.
  Alignment finish();

 private:
  void reserve_names(std::size_t row_length);
  // Gives every row added by add_row a stride of at least `stride` bytes.
  void widen(std::size_t stride);

  Alignment al_;
  RowStorage rows_;
  std::size_t row_start_ = 0;
  std::size_t size_hint_ = 0;
  // Rows filled in pieces: row s at (s - 1) * stride_, its padding byte first, lengths_[s - 1]
  // residues after it.
  std::size_t stride_ = 0;
  std::vector<std::size_t> lengths_;
  std::string scratch_;  // a line's residues when they may not fit their row as it stands
};

// Gathers the names alone: a sequence is skipped up to its stop character, wherever that
// stands, which is where the alignment's reader ends it too.
class NamesBuilder final : public SequenceSink {
 public:
  NamesBuilder() { names_.emplace_back(); }  // entry 0 holds nothing

  // Counted as the alignment's builder counts: a sequence begun is not yet one of them.
  std::int32_t next_index() const override { return ended_ + 1; }
  void begin_sequence(std::string_view name) override;
  bool scan(BlockReader& in, char stop) override;
  std::optional<ReadProblem> end_sequence(std::int64_t) override {
    ++ended_;
    return std::nullopt;
  }

  void add_row(std::string_view name) override;
  std::size_t append(std::int32_t s, std::string_view text) override;
  void expect_rows(std::int32_t, std::int64_t) override {}
  std::optional<ReadProblem> end_rows() override { return std::nullopt; }
  void declare_type(SeqType) override {}
  void further_alignment(std::int64_t) override {}

  // The names read, 1-based as Alignment::name (entry 0 is empty).
  std::vector<std::string> finish() { return std::move(names_); }

 private:
  std::vector<std::string> names_;
  std::int32_t ended_ = 0;
};

}  // namespace selvane
