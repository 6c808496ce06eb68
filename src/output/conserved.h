// Per-position facts the reports share, computed once before any row is written.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "selection/classify.h"

namespace selvane {

// Upper-case form of every byte; bytes that are not lower-case ASCII letters map to themselves.
inline const std::array<char, 256>& upper_table() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) {
      t[static_cast<std::size_t>(c)] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return t;
  }();
  return table;
}

inline char to_upper(char c) {
  return upper_table()[static_cast<unsigned char>(c)];
}

// Entry p (1..nupo) is the letter a residue at p must have, in upper case, to be a conserved
// residue, or '\0' when the position is below b1 and no residue there is conserved. Entry 0 is
// '\0'. See is_conserved.
inline std::vector<char> conserved_letters(const Classification& cls, std::int32_t nupo,
                                           std::int32_t negval) {
  std::vector<char> letters(static_cast<std::size_t>(nupo) + 1, '\0');
  for (std::int32_t p = 1; p <= nupo; ++p) {
    const char letter = cls.val_aa[static_cast<std::size_t>(p)];
    if (is_conserved_residue(cls, negval, letter, p)) letters[static_cast<std::size_t>(p)] = letter;
  }
  return letters;
}

// The conserved-residue test against the table above (`letters` is its data()); a position
// without a conserved letter holds '\0', which no character (not even a stored NUL) may match.
// A plain pointer, so that a loop writing bytes keeps it in a register: through a vector, every
// byte written might change the vector's own pointer.
inline bool is_conserved(const char* letters, char c, std::size_t p) {
  return letters[p] != '\0' && to_upper(c) == letters[p];
}

}  // namespace selvane
