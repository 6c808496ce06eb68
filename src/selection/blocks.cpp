// How a block is chosen: initial blocks between flank positions, pieces cut at excluded
// positions, codon snapping, the totals and the boundaries counted in the first sequence.
#include "selection/blocks.h"

#include <string_view>

#include "core/fatal.h"

namespace selvane {
namespace {

// The classes of a position; each compares the float value with the integer parameter
// converted to float.
class Classes {
 public:
  Classes(const Classification& cls, const BlockParams& params)
      : val_(cls.val.data()),
        flank_(static_cast<float>(params.flankval)),
        conserved_(static_cast<float>(params.negval)) {}

  bool flank(std::int32_t p) const { return val_[p] >= flank_; }
  bool conserved(std::int32_t p) const { return val_[p] >= conserved_; }
  bool excluded(std::int32_t p) const { return val_[p] == 0.0f; }

 private:
  const float* val_;
  float flank_;
  float conserved_;
};

// Appends to a list of blocks; running out of memory is fatal with the message that names the
// list and the step that grew it ("newpos 1" and the like).
void append(std::vector<Span>& to, Span span, std::string_view array) {
  allocating(array, [&] { to.push_back(span); });
}

// Phase 1: runs that start and end at flank positions and hold no run of more than b3
// nonconserved positions, kept when at least b0 long.
void initial_blocks(const Classes& is, std::int32_t nupo, const BlockParams& params,
                    std::vector<Span>& pos) {
  std::int32_t c = 1;
  while (c <= nupo) {
    // The last position never opens a block.
    std::int32_t s = c;
    while (s <= nupo - 1 && !is.flank(s)) ++s;
    if (s > nupo - 1) break;

    // Stop at the (b3 + 1)-th position of the first run of nonconserved positions longer than
    // b3 (excluded positions count as nonconserved); nupo + 1 when there is none.
    std::int32_t t = s + 1;
    std::int32_t run = 0;
    for (; t <= nupo; ++t) {
      if (is.conserved(t)) {
        run = 0;
      } else if (++run == params.negblen + 1) {
        break;
      }
    }

    // End at the last flank position before the stop; s itself qualifies.
    std::int32_t e = t - 1;
    while (e > s && !is.flank(e)) --e;

    if (e - s + 1 >= params.posblen) append(pos, {s, e}, "pos");
    c = t + 1;
  }
}

// Phase 2: cuts every initial block at its excluded positions; a piece runs between conserved
// positions and is kept when at least b4 long.
void pieces(const Classes& is, const std::vector<Span>& pos, const BlockParams& params,
            std::vector<Span>& newpos) {
  const auto keep = [&](std::int32_t first, std::int32_t last, std::string_view array) {
    if (last - first + 1 >= params.posblen2) append(newpos, {first, last}, array);
  };

  for (const auto [s, e] : pos) {
    std::int32_t first = s;
    bool opened_after_exclusion = false;
    std::int32_t p = s;
    while (p <= e) {
      if (!is.excluded(p)) {
        ++p;
        continue;
      }
      // Close at the last conserved position before p; the piece's first position is one.
      std::int32_t q = p - 1;
      while (q > first && !is.conserved(q)) --q;
      keep(first, q, opened_after_exclusion ? "newpos 3" : "newpos 1");
      // Open again at the next conserved position; e is a flank position, so one exists.
      std::int32_t r = p + 1;
      while (r < e && !is.conserved(r)) ++r;
      first = r;
      opened_after_exclusion = true;
      p = r + 1;
    }
    keep(first, e, opened_after_exclusion ? "newpos 3" : "newpos 1");
  }
}

// Phase 3: moves the first position forward to the start of a codon (3m + 1) and the last
// position back to the end of one (3m). No length test follows: a block without a whole codon
// is left with its first position one past its last, and stays a block.
void snap_to_codons(std::vector<Span>& newpos) {
  for (auto& [f, l] : newpos) {
    if ((f + 1) % 3 == 0) f += 2;
    if (f % 3 == 0) f += 1;
    if ((l - 1) % 3 == 0) l -= 1;
    if ((l - 2) % 3 == 0) l -= 2;
  }
}

// Phase 5: block boundaries as residue numbers of the first sequence: a first boundary is the
// number of residues before the block plus 1, a last boundary the number of residues up to and
// including the block's last position. Gaps inside earlier blocks are subtracted too, so these
// are the true residue numbers whatever the gap policy.
std::vector<Span> first_sequence_boundaries(const std::vector<Span>& newpos, const Alignment& aln) {
  std::vector<Span> seq;
  allocating("newposseq 5", [&] { seq.reserve(newpos.size()); });
  const char* first_row = aln.let.row(1);
  // Residues of the first sequence at positions 1..at; the cursor only moves forward in
  // practice, but a snapped codon block may have its last position before its first.
  std::int32_t at = 0;
  std::int32_t residues = 0;
  const auto residues_through = [&](std::int32_t p) {
    for (; at < p; ++at) residues += first_row[at + 1] != '-';
    for (; at > p; --at) residues -= first_row[at] != '-';
    return residues;
  };
  for (const auto [first, last] : newpos) {
    const std::int32_t before = residues_through(first - 1);
    seq.push_back({before + 1, residues_through(last)});
  }
  return seq;
}

}  // namespace

std::int64_t positions_in(std::span<const Span> spans) {
  std::int64_t total = 0;
  for (const Span& span : spans) total += span.length();
  return total;
}

std::int32_t percent_of(std::int64_t selected, std::int32_t nupo) {
  // 64 bits, so that very long alignments do not overflow.
  return nupo > 0 ? static_cast<std::int32_t>(selected * 100 / nupo) : 0;
}

std::vector<Span> nonconserved(const Blocks& blocks) {
  std::vector<Span> stretches;
  // A stretch runs from past one block (past position 0 for the first) to before the next
  // (before position nupo + 1 for the last).
  std::int32_t from = 1;
  const auto up_to = [&](std::int32_t to) {
    if (to >= from) stretches.push_back({from, to});
  };
  for (const Span& block : blocks.newpos) {
    up_to(block.first - 1);
    from = block.last + 1;
  }
  up_to(blocks.nupo);
  return stretches;
}

Blocks getpos(const Classification& cls, const Alignment& aln, const BlockParams& params) {
  const Classes is(cls, params);
  Blocks blocks;
  blocks.nupo = aln.nupo;
  initial_blocks(is, aln.nupo, params, blocks.pos);
  pieces(is, blocks.pos, params, blocks.newpos);
  if (params.seq_type == SeqType::kCodons) snap_to_codons(blocks.newpos);
  if (!blocks.newpos.empty()) blocks.newposseq = first_sequence_boundaries(blocks.newpos, aln);
  return blocks;
}

}  // namespace selvane
