#include "output/entry.h"

#include <algorithm>

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

void begin_entry(Writer& out, const EntryFormat& format, std::string_view name) {
  const bool pir = format.fileformat == InputFormat::kPir;
  out.write(pir ? pir_marker(format.seq_type) : std::string_view(">"));
  out.write(name);
  out.put('\n');
  if (pir) out.write(" \n");
}

void end_entry(Writer& out, const EntryFormat& format) {
  out.write(format.fileformat == InputFormat::kPir ? std::string_view("*\n\n")
                                                   : std::string_view("\n"));
}

}  // namespace selvane
