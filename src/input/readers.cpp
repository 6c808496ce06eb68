// The NBRF/PIR and FASTA readers, and load(), which checks what they read and closes up the
// positions that are gaps in every sequence.
#include "input/readers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/fatal.h"
#include "core/run_state.h"
#include "input/block_reader.h"
#include "input/problems.h"
#include "input/residue_run.h"

namespace selvane {

namespace {

constexpr std::size_t kMaxHeaderLength = 74;  // a header line with its line end counted as one

// Appends the residues of one sequence to `rows` until the stop character `stop` (which is
// consumed) or the end of the file. Returns whether the stop character was found.
// Blanks and line feeds separate residues; '.' is a gap like '-'; everything else, digits and
// tabs included, is a residue character (see copy_residues).
bool scan_sequence(BlockReader& in, char stop, RowStorage& rows) {
  for (;;) {
    const std::string_view block = in.buffered();
    if (block.empty()) return false;
    const char* p = block.data();
    const std::size_t n = block.size();
    // Room for every byte of the block (not zeroed: it is written before it is kept); what is
    // not kept is given back below. The room a file's size reserved holds it.
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
      in.consume(i + 1);
      return true;
    }
    in.consume(n);
    if (carriage_return_last && in.peek() != '\n') rows.push_back('\r');
  }
}

// Gathers sequences into one buffer laid out as Rows expects: each row its padding byte, then
// its residues. All rows must come out equally long, so the layout is final as it is read.
class AlignmentBuilder {
 public:
  AlignmentBuilder(const std::string& path, std::size_t size_hint)
      : path_(path), size_hint_(size_hint) {
    al_.name.emplace_back();  // entry 0 holds nothing
    // A file holds at least one byte per residue and one per sequence (its header's first
    // character), so its size bounds the buffer and it never has to grow. Pages reserved but
    // never written cost no memory.
    allocating("let", [&] { rows_.reserve(size_hint); });
  }

  std::int32_t next_index() const { return al_.numseq + 1; }

  void begin_sequence(std::string_view name) {
    const std::int32_t s = next_index();
    std::string text = allocating("name", s, [&] { return std::string(name); });
    allocating("name", [&] { al_.name.push_back(std::move(text)); });
    // The message of a row names its sequence on a line of its own.
    allocating("let\n", s, [&] { rows_.push_back('\0'); });  // the padding byte of the row
    row_start_ = rows_.size();
  }

  // Reads the residues of the sequence begun last; see scan_sequence.
  bool scan(BlockReader& in, char stop) {
    return allocating("let\n", next_index(), [&] { return scan_sequence(in, stop, rows_); });
  }

  void end_sequence() {
    const std::size_t length = rows_.size() - row_start_;
    if (al_.numseq == 0) {
      al_.nupo = static_cast<std::int32_t>(length);
      reserve_names(length);
    } else if (length != static_cast<std::size_t>(al_.nupo)) {
      const std::int32_t s = next_index();
      fatal("\nSequences with different number of positions",
            file_detail(path_, "sequence " + std::to_string(s) + " (" +
                                   quoted(al_.name[static_cast<std::size_t>(s)]) + ") has " +
                                   std::to_string(length) + " positions, but sequence 1 (" +
                                   quoted(al_.name[1]) + ") has " + std::to_string(al_.nupo)));
    }
    ++al_.numseq;
  }

  const std::string& path() const { return path_; }

  Alignment finish() {
    al_.let.storage() = std::move(rows_);
    al_.let.reshape(al_.numseq, al_.nupo);
    return std::move(al_);
  }

 private:
  // Every row is as long as the first, and the file holds a byte for each residue and at least
  // one for each sequence: its size bounds the number of sequences. The names get that room at
  // once rather than growing step by step, each step copying every name into fresh pages; but
  // only when the room is no larger than the file itself.
  void reserve_names(std::size_t row_length) {
    const std::size_t most = size_hint_ / (row_length + 1) + 1;
    if (most * sizeof(std::string) <= size_hint_) {
      allocating("name", [&] { al_.name.reserve(most + 1); });
    }
  }

  const std::string& path_;
  Alignment al_;
  RowStorage rows_;
  std::size_t row_start_ = 0;
  std::size_t size_hint_ = 0;
};

// Length of a header line as the limit counts it: its characters and one for its line end.
std::size_t header_length(const std::string& line, bool ended) {
  return line.size() + ended;
}

// Ends the run when a header line is longer than names may be (unless `long_names`). The
// detail counts the name alone: the header without its marker of `marker` characters.
template <class Builder>
void check_name_length(const Builder& builder, const std::string& line, bool ended,
                       std::size_t marker, bool long_names) {
  const std::size_t length = header_length(line, ended);
  if (long_names || length <= kMaxHeaderLength) return;
  marker = std::min(marker, line.size());
  fatal("\nSequence name too long",
        file_detail(builder.path(), "the name of sequence " + std::to_string(builder.next_index()) +
                                        " (" + quoted(std::string_view(line).substr(marker)) +
                                        ") is " + std::to_string(line.size() - marker) +
                                        " characters long; at most " +
                                        std::to_string(kMaxHeaderLength - ended - marker) +
                                        " fit here (--long-names accepts any length)"));
}

}  // namespace

namespace {

// The two formats, read into any builder with AlignmentBuilder's interface: the alignment, or
// its names alone.
template <class Builder>
Builder& read_pir(BlockReader& in, Builder& builder, bool long_names) {
  const std::string& path = builder.path();
  std::string line;
  bool ended = false;
  while (in.read_line(line, &ended)) {
    // Blank lines, lines that begin with a space and a lone '*' separate entries.
    if (line.empty() || line[0] == ' ' || (line == "*" && ended)) continue;
    const std::size_t length = header_length(line, ended);
    check_name_length(builder, line, ended, line[0] == '>' ? 4 : 0, long_names);
    if (line[0] != '>') {
      const std::int32_t entries = builder.next_index() - 1;
      fatal("\nSequence not in NBRF/PIR format",
            file_detail(path, "the line " + quoted(line) +
                                  (entries == 0 ? std::string(" at the start")
                                                : " after entry " + std::to_string(entries)) +
                                  " does not begin with '>' (an entry ends at its '*')"));
    }
    // The marker (">P1;" and the like) is dropped unseen. A header shorter than a marker, line
    // end included, is kept whole.
    if (length < 4) {
      builder.begin_sequence(line);
    } else {
      builder.begin_sequence(std::string_view(line).substr(std::min<std::size_t>(4, line.size())));
    }
    in.skip_line();  // the description line, however long
    if (!builder.scan(in, '*')) {
      fatal("\nFile not in NBRF/PIR format",
            file_detail(path, "the file ends inside sequence " +
                                  std::to_string(builder.next_index()) + ", before its '*'"));
    }
    builder.end_sequence();
    // What follows the '*' on its line is read as the next line.
  }
  return builder;
}

template <class Builder>
Builder& read_fasta(BlockReader& in, Builder& builder, bool long_names) {
  std::string line;
  bool ended = false;
  while (in.read_line(line, &ended)) {
    if (line.empty()) continue;
    // The first name line counts its '>'; later ones lost theirs to the end of the sequence
    // before them.
    check_name_length(builder, line, ended, line[0] == '>' ? 1 : 0, long_names);
    std::string_view name(line);
    if (name[0] == '>') name.remove_prefix(1);
    builder.begin_sequence(name);
    // The '>' that ends a sequence is consumed: the rest of its line is the next name.
    builder.scan(in, '>');
    builder.end_sequence();
  }
  return builder;
}

// Gathers the names alone: a sequence is skipped up to its stop character, wherever that
// stands, which is where the full reader ends it too.
struct NamesBuilder {
  explicit NamesBuilder(const std::string& path) : path_(path) {
    names.emplace_back();  // entry 0 holds nothing
  }

  const std::string& path() const { return path_; }
  std::int32_t next_index() const { return static_cast<std::int32_t>(names.size()); }

  void begin_sequence(std::string_view name) {
    allocating("name", static_cast<std::int64_t>(names.size()), [&] { names.emplace_back(name); });
  }
  bool scan(BlockReader& in, char stop) {
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
  void end_sequence() {}

  const std::string& path_;
  std::vector<std::string> names;
};

}  // namespace

Alignment load_pir(const std::string& path, bool long_names) {
  BlockReader in = open_or_stop(path, "input");
  AlignmentBuilder builder(path, in.size_hint());
  return read_pir(in, builder, long_names).finish();
}

Alignment load_fasta(const std::string& path, bool long_names) {
  BlockReader in = open_or_stop(path, "input");
  AlignmentBuilder builder(path, in.size_hint());
  return read_fasta(in, builder, long_names).finish();
}

std::vector<std::string> read_names(const std::string& path, InputFormat fileformat,
                                    bool long_names) {
  BlockReader in = open_or_stop(path, "input");
  NamesBuilder builder(path);
  if (fileformat == InputFormat::kPir) read_pir(in, builder, long_names);
  if (fileformat == InputFormat::kFasta) read_fasta(in, builder, long_names);
  return std::move(builder.names);
}

namespace {

// Drops the positions that hold '-' in every sequence, closing up the rest in place.
void remove_all_gap_positions(Alignment& al) {
  Rows& let = al.let;
  const std::int32_t nupo = al.nupo;
  // Candidates start as the gaps of the first row and only shrink, so the rows after the first
  // usually cost a glance at a handful of positions.
  std::vector<std::int32_t> all_gap;
  {
    const char* row = let.row(1);
    for (std::int32_t p = 1; p <= nupo; ++p) {
      if (row[p] == '-') all_gap.push_back(p);
    }
  }
  for (std::int32_t s = 2; s <= al.numseq && !all_gap.empty(); ++s) {
    const char* row = let.row(s);
    std::size_t kept = 0;
    for (const std::int32_t p : all_gap) {
      if (row[p] == '-') all_gap[kept++] = p;
    }
    all_gap.resize(kept);
  }
  if (all_gap.empty()) return;

  const std::int32_t width = nupo - static_cast<std::int32_t>(all_gap.size());
  const std::size_t old_stride = let.stride();
  const std::size_t new_stride = static_cast<std::size_t>(width) + 1;
  RowStorage& data = let.storage();
  // Targets never lie after their sources, so copying forward in place is safe.
  for (std::int32_t s = 1; s <= al.numseq; ++s) {
    const char* src = data.data() + static_cast<std::size_t>(s - 1) * old_stride;
    char* dst = data.data() + static_cast<std::size_t>(s - 1) * new_stride;
    std::size_t from = 0;  // next source index of the row; index 0 is the padding byte
    std::size_t to = 0;
    for (const std::int32_t gap : all_gap) {
      const std::size_t span = static_cast<std::size_t>(gap) - from;
      std::memmove(dst + to, src + from, span);
      to += span;
      from = static_cast<std::size_t>(gap) + 1;
    }
    std::memmove(dst + to, src + from, old_stride - from);
  }
  data.resize(static_cast<std::size_t>(al.numseq) * new_stride);
  let.reshape(al.numseq, width);
  al.nupo = width;
}

}  // namespace

Alignment load(const std::string& path, InputFormat fileformat, bool long_names) {
  Alignment al;
  if (fileformat == InputFormat::kPir) {
    al = load_pir(path, long_names);
  } else if (fileformat == InputFormat::kFasta) {
    al = load_fasta(path, long_names);
  }
  if (al.numseq < 2) {
    fatal_number("\nFile not in NBRF/PIR format or too few sequences in the alignment: ", al.numseq,
                 fileformat == InputFormat::kNone
                     ? (path.empty() ? std::string() : path + ": ") +
                           "no alignment was read: no input is open"
                     : file_detail(path, std::to_string(al.numseq) +
                                             (al.numseq == 1 ? " sequence" : " sequences") +
                                             " read; an alignment needs at least 2"));
  }
  remove_all_gap_positions(al);
  if (al.nupo < 2) {
    fatal_number(
        "\nToo few positions in the alignment (at least two positions are necessary): ", al.nupo,
        file_detail(path, std::to_string(al.nupo) +
                              (al.nupo == 1 ? " position is" : " positions are") +
                              " left once the columns that are gaps in every sequence "
                              "are removed; at least 2 are needed"));
  }
  return al;
}

}  // namespace selvane
