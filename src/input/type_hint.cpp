#include "input/type_hint.h"

#include <array>

namespace selvane {

namespace {

constexpr std::int64_t kLettersCounted = 1'000'000;

// 0 for a byte that is no letter, 1 for a letter, 2 for a nucleotide letter.
constexpr std::array<std::uint8_t, 256> make_letter_kinds() {
  std::array<std::uint8_t, 256> kinds{};
  for (int c = 'A'; c <= 'Z'; ++c) {
    kinds[static_cast<std::size_t>(c)] = 1;
    kinds[static_cast<std::size_t>(c - 'A' + 'a')] = 1;
  }
  for (const char c : {'A', 'C', 'G', 'T', 'U', 'N'}) {
    kinds[static_cast<unsigned char>(c)] = 2;
    kinds[static_cast<unsigned char>(c - 'A' + 'a')] = 2;
  }
  return kinds;
}

constexpr std::array<std::uint8_t, 256> kLetterKinds = make_letter_kinds();

}  // namespace

std::int32_t nucleotide_letter_percent(const Alignment& aln) {
  std::int64_t letters = 0;
  std::int64_t nucleotides = 0;
  for (std::int32_t s = 1; s <= aln.numseq && letters < kLettersCounted; ++s) {
    const char* row = aln.let.row(s);
    for (std::int32_t p = 1; p <= aln.nupo; ++p) {
      const std::uint8_t kind = kLetterKinds[static_cast<unsigned char>(row[p])];
      letters += kind != 0;
      nucleotides += kind == 2;
    }
  }
  if (letters == 0) return -1;
  return static_cast<std::int32_t>(nucleotides * 100 / letters);
}

}  // namespace selvane
