// The cells of the tables for scripts (TSV: one header line, a tab between cells, numbers in
// plain decimal whatever the locale).
#pragma once

#include <cmath>
#include <cstdint>

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

}  // namespace selvane
