// Whether an alignment read as protein looks like nucleotides.
#pragma once

#include <cstdint>
#include <string_view>

#include "input/alignment.h"

namespace selvane {

// Share, in percent (rounded down), of the letters of `aln` that are A, C, G, T, U or N in either
// case; -1 when it holds no letter. Only the first million letters are counted: a nucleotide
// alignment shows itself long before, and a hint must not cost a pass over a huge file.
std::int32_t nucleotide_letter_percent(const Alignment& aln);

// The same share over the lines of the FASTA text `text` that are no header (do not begin with
// '>'), such as the first block of a file: a line cut off by the end of `text` counts as far as
// it goes.
std::int32_t fasta_nucleotide_letter_percent(std::string_view text);

// From this share up, a FASTA alignment read as protein is most likely DNA or codons: proteins
// hold these six letters at about a quarter of their residues, rarely above a half.
inline constexpr std::int32_t kNucleotideHintPercent = 90;

// The type of an alignment whose file names none, read from its letters: DNA from the share
// above up, protein below it. Codons are never guessed: only the user can say so.
inline SeqType type_from_letters(std::int32_t nucleotide_percent) {
  return nucleotide_percent >= kNucleotideHintPercent ? SeqType::kDna : SeqType::kProtein;
}

}  // namespace selvane
