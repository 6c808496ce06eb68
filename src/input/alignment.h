// The loaded alignment and the row storage it shares with the ungapped alignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/bulk_memory.h"
#include "core/run_state.h"

namespace selvane {

// The bytes of the rows: growing the buffer does not zero what its builder writes next, a large
// buffer is backed by huge pages, and one that grows with an input of unknown size (a pipe, a
// decompressor) does so without holding two copies (see BulkBytes).
using RowStorage = BulkBytes;

// `numseq` rows of `width` characters each, in one contiguous buffer.
// Rows and positions count from 1: row(s)[p] for s = 1..numseq and p = 1..width.
// Each row is stored behind one padding byte, so row(s)[0] exists and holds nothing of use.
// Rows are not NUL-terminated.
class Rows {
 public:
  Rows() = default;
  // Every byte zero, to be filled by the caller.
  Rows(std::int32_t numseq, std::int32_t width)
      : numseq_(numseq), width_(width), data_(static_cast<std::size_t>(numseq) * stride(), '\0') {}

  std::int32_t numseq() const { return numseq_; }
  std::int32_t width() const { return width_; }

  const char* row(std::int32_t s) const { return data_.data() + offset(s); }
  char* row(std::int32_t s) { return data_.data() + offset(s); }

  // For builders that fill the buffer themselves: the storage, row s starting at
  // (s - 1) * stride(), its padding byte first.
  RowStorage& storage() { return data_; }
  void reshape(std::int32_t numseq, std::int32_t width) {
    numseq_ = numseq;
    width_ = width;
  }
  std::size_t stride() const { return static_cast<std::size_t>(width_) + 1; }

 private:
  std::size_t offset(std::int32_t s) const { return static_cast<std::size_t>(s - 1) * stride(); }

  std::int32_t numseq_ = 0;
  std::int32_t width_ = 0;
  RowStorage data_;
};

// An alignment as read from a file, after the positions that are gaps in every sequence were
// removed. Residues keep their case; '.' gaps were stored as '-'.
struct Alignment {
  std::int32_t numseq = 0;  // at least 2 after a successful load
  std::int32_t nupo = 0;    // at least 2 after a successful load
  Rows let;                 // let.row(s)[p], s = 1..numseq, p = 1..nupo
  // name[s], s = 1..numseq (name[0] is empty): the header text after its marker, without the
  // line end. Every stored name stands for a whole header line; writers add the line end.
  std::vector<std::string> name;
  // The columns of the input (counted from 1, ascending) that were removed as gaps in every
  // sequence; the input had nupo + gap_columns.size() columns (see input_columns()).
  std::vector<std::int32_t> gap_columns;
  // The sequence type the file itself declares (a NEXUS DATATYPE); kUnknown when it names none
  // or its format has no place for one (the NBRF/PIR type is read by detection).
  SeqType declared_type = SeqType::kUnknown;
  // The line of the file where a further alignment begins, which was not read; 0 when none.
  std::int64_t unread_from = 0;
};

}  // namespace selvane
