// Words compared as people type them: option values, format names and NEXUS keywords are
// matched whatever their case.
#pragma once

#include <cctype>
#include <cstddef>
#include <string_view>

namespace selvane {

// Whether `a` and `b` are the same word, upper and lower case alike.
inline bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace selvane
