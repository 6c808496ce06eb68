#include "output/entry.h"

#include <algorithm>

#include "core/run_state.h"

namespace selvane {

void ResidueGrouping::put(std::string_view chars) {
  while (!chars.empty()) {
    // Copy up to the next blank or line end in one piece.
    const std::size_t room = static_cast<std::size_t>(10 - counter_ % 10);
    const std::size_t step = std::min(room, chars.size());
    out_.write(chars.substr(0, step));
    counter_ += static_cast<int>(step);
    chars.remove_prefix(step);
    if (counter_ == 60) {
      out_.put('\n');
      counter_ = 0;
    } else if (counter_ % 10 == 0) {
      out_.put(' ');
    }
  }
}

void begin_entry(Writer& out, int fileformat, char seq_type, std::string_view name) {
  out.write(fileformat == kFormatPir ? pir_marker(seq_type) : std::string_view(">"));
  out.write(name);
  out.put('\n');
  if (fileformat == kFormatPir) out.write(" \n");
}

void end_entry(Writer& out, int fileformat) {
  out.write(fileformat == kFormatPir ? std::string_view("*\n\n") : std::string_view("\n"));
}

}  // namespace selvane
