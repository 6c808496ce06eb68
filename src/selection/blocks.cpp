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

// Appends to a boundary array; running out of memory is fatal with the message that names the
// array and the step that grew it ("newpos 1" and the like).
void append(std::vector<std::int32_t>& to, std::int32_t value, std::string_view array) {
  allocating(array, [&] { to.push_back(value); });
}

// Phase 1: runs that start and end at flank positions and hold no run of more than b3
// nonconserved positions, kept when at least b0 long.
void initial_blocks(const Classes& is, std::int32_t nupo, const BlockParams& params,
                    std::vector<std::int32_t>& pos) {
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

    if (e - s + 1 >= params.posblen) {
      append(pos, s, "pos");
      append(pos, e, "pos");
    }
    c = t + 1;
  }
}

// Phase 2: cuts every initial block at its excluded positions; a piece runs between conserved
// positions and is kept when at least b4 long.
void pieces(const Classes& is, const std::vector<std::int32_t>& pos, const BlockParams& params,
            std::vector<std::int32_t>& newpos) {
  const auto keep = [&](std::int32_t first, std::int32_t last, std::string_view first_array,
                        std::string_view last_array) {
    if (last - first + 1 < params.posblen2) return;
    append(newpos, first, first_array);
    append(newpos, last, last_array);
  };

  for (std::size_t k = 1; k + 1 < pos.size(); k += 2) {
    const std::int32_t s = pos[k];
    const std::int32_t e = pos[k + 1];
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
      keep(first, q, opened_after_exclusion ? "newpos 3" : "newpos 1", "newpos 2");
      // Open again at the next conserved position; e is a flank position, so one exists.
      std::int32_t r = p + 1;
      while (r < e && !is.conserved(r)) ++r;
      first = r;
      opened_after_exclusion = true;
      p = r + 1;
    }
    keep(first, e, opened_after_exclusion ? "newpos 3" : "newpos 1", "newpos 4");
  }
}

// Phase 3: moves the first position forward to the start of a codon (3m + 1) and the last
// position back to the end of one (3m). No length test follows: a block without a whole codon
// is left with its first position one past its last.
void snap_to_codons(std::vector<std::int32_t>& newpos, std::int32_t newtopos) {
  for (std::int32_t x = 1; x < newtopos; x += 2) {
    std::int32_t& f = newpos[static_cast<std::size_t>(x)];
    std::int32_t& l = newpos[static_cast<std::size_t>(x) + 1];
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
std::vector<std::int32_t> first_sequence_boundaries(const Blocks& blocks, const Alignment& aln) {
  std::vector<std::int32_t> seq;
  allocating("newposseq 5", [&] { seq.reserve(blocks.newpos.size()); });
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
  seq.push_back(0);
  for (std::int32_t x = 1; x < blocks.newtopos; x += 2) {
    seq.push_back(residues_through(blocks.newpos[static_cast<std::size_t>(x)] - 1) + 1);
    seq.push_back(residues_through(blocks.newpos[static_cast<std::size_t>(x) + 1]));
  }
  seq.push_back(residues_through(aln.nupo) + 1);
  return seq;
}

}  // namespace

Blocks getpos(const Classification& cls, const Alignment& aln, const BlockParams& params) {
  const std::int32_t nupo = aln.nupo;
  const Classes is(cls, params);
  Blocks blocks;

  append(blocks.pos, 0, "pos");
  initial_blocks(is, nupo, params, blocks.pos);
  blocks.topos = static_cast<std::int32_t>(blocks.pos.size()) - 1;

  append(blocks.newpos, 0, "newpos 1");
  pieces(is, blocks.pos, params, blocks.newpos);
  blocks.newtopos = static_cast<std::int32_t>(blocks.newpos.size()) - 1;
  append(blocks.newpos, nupo + 1, "newpos 4");

  if (params.seq_type == SeqType::kCodons) snap_to_codons(blocks.newpos, blocks.newtopos);

  // Phase 4. A snapped block without a whole codon adds nothing; the percentage is computed
  // in 64 bits so that very long alignments do not overflow.
  std::int64_t selected = 0;
  for (std::int32_t k = 1; k <= blocks.count(); ++k) {
    const std::int32_t length = blocks.last(k) - blocks.first(k) + 1;
    if (length > 0) selected += length;
  }
  blocks.nupo3 = static_cast<std::int32_t>(selected);
  blocks.nupo3per = nupo > 0 ? static_cast<std::int32_t>(selected * 100 / nupo) : 0;

  if (blocks.newtopos > 0) blocks.newposseq = first_sequence_boundaries(blocks, aln);
  return blocks;
}

}  // namespace selvane
