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
  switch (format.format) {
    case AlignmentFormat::kPir:
      out.write(pir_marker(format.seq_type));
      out.write(name);
      out.write("\n \n");
      return;
    case AlignmentFormat::kFasta:
      out.put('>');
      out.write(name);
      out.put('\n');
      return;
    case AlignmentFormat::kPhylip:
      out.write(name);
      out.put(' ');
      return;
  }
}

void end_entry(Writer& out, const EntryFormat& format) {
  out.write(format.format == AlignmentFormat::kPir ? std::string_view("*\n\n")
                                                   : std::string_view("\n"));
}

}  // namespace selvane
