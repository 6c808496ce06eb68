// The cells of the tables for scripts (TSV: one header line, a tab between cells, numbers in
// plain decimal whatever the locale).
#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/writer.h"

namespace selvane {

// A share from 0 to 1 with four decimals, "0.8947"; 0 when there is nothing to share
// (`whole` 0).
inline void write_share(Writer& out, double part, double whole) {
  const double share = whole > 0 ? part / whole : 0.0;
  const auto ten_thousandths = static_cast<std::int64_t>(std::llround(share * 10000.0));
  out.number(ten_thousandths / 10000);
  out.put('.');
  const auto decimals = static_cast<int>(ten_thousandths % 10000);
  for (int digit = 1000; digit >= 1; digit /= 10)
    out.put(static_cast<char>('0' + decimals / digit % 10));
}

// A text cell (a path, a taxon name): a tab, a line end or a backslash in it is written as
// \t, \n, \r or \\, so that every row stays one line of the same number of cells.
inline void write_text(Writer& out, std::string_view text) {
  if (text.find_first_of("\t\n\r\\") == std::string_view::npos) {
    out.write(text);
    return;
  }
  for (const char c : text) {
    const char escaped = c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : c == '\\' ? '\\' : 0;
    if (escaped != 0) {
      out.put('\\');
      out.put(escaped);
    } else {
      out.put(c);
    }
  }
}

}  // namespace selvane
