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
// its residues. All rows must come out equally long, so the layout is final as it is read.
class AlignmentBuilder final : public SequenceSink {
 public:
  // `size_hint`: the size of the input in bytes when it is known, 0 otherwise.
  explicit AlignmentBuilder(std::size_t size_hint);

  std::int32_t next_index() const override { return al_.numseq + 1; }
  void begin_sequence(std::string_view name) override;
  bool scan(BlockReader& in, char stop) override;
  std::optional<ReadProblem> end_sequence(std::int64_t line) override;

  // The alignment read, as the input holds it.
  Alignment finish();

 private:
  void reserve_names(std::size_t row_length);

  Alignment al_;
  RowStorage rows_;
  std::size_t row_start_ = 0;
  std::size_t size_hint_ = 0;
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

  // The names read, 1-based as Alignment::name (entry 0 is empty).
  std::vector<std::string> finish() { return std::move(names_); }

 private:
  std::vector<std::string> names_;
  std::int32_t ended_ = 0;
};

}  // namespace selvane
