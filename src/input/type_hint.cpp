#include "input/type_hint.h"

#include <array>
#include <cstddef>

namespace selvane {

namespace {

constexpr std::int64_t kLettersCounted = 1'000'000;

// What a byte adds to a row's count: 1 for a letter, and 1 << 32 more for a nucleotide letter,
// so that one addition a byte counts both. A row holds fewer than 2^31 bytes: the low half
// never overflows into the high one.
constexpr std::array<std::uint64_t, 256> make_letter_kinds() {
  std::array<std::uint64_t, 256> kinds{};
  for (int c = 'A'; c <= 'Z'; ++c) {
    kinds[static_cast<std::size_t>(c)] = 1;
    kinds[static_cast<std::size_t>(c - 'A' + 'a')] = 1;
  }
  for (const char c : {'A', 'C', 'G', 'T', 'U', 'N'}) {
    kinds[static_cast<unsigned char>(c)] = (std::uint64_t{1} << 32) + 1;
    kinds[static_cast<unsigned char>(c - 'A' + 'a')] = (std::uint64_t{1} << 32) + 1;
  }
  return kinds;
}

constexpr std::array<std::uint64_t, 256> kLetterKinds = make_letter_kinds();

}  // namespace

std::int32_t nucleotide_letter_percent(const Alignment& aln) {
  std::int64_t letters = 0;
  std::int64_t nucleotides = 0;
  for (std::int32_t s = 1; s <= aln.numseq && letters < kLettersCounted; ++s) {
    const char* row = aln.let.row(s);
    std::uint64_t counts = 0;
    for (std::int32_t p = 1; p <= aln.nupo; ++p) {
      counts += kLetterKinds[static_cast<unsigned char>(row[p])];
    }
    letters += static_cast<std::int64_t>(counts & 0xffffffffU);
    nucleotides += static_cast<std::int64_t>(counts >> 32);
  }
  if (letters == 0) return -1;
  return static_cast<std::int32_t>(nucleotides * 100 / letters);
}

std::int32_t fasta_nucleotide_letter_percent(std::string_view text) {
  std::uint64_t counts = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    if (text[at] != '>') {
      for (std::size_t i = at; i < end; ++i)
        counts += kLetterKinds[static_cast<unsigned char>(text[i])];
    }
    at = end + 1;
  }
  const auto letters = static_cast<std::int64_t>(counts & 0xffffffffU);
  if (letters == 0) return -1;
  return static_cast<std::int32_t>(static_cast<std::int64_t>(counts >> 32) * 100 / letters);
}

}  // namespace selvane
