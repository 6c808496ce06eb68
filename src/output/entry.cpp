#include "output/entry.h"

#include <algorithm>
#include <cstring>

namespace selvane {

void ResidueGrouping::put(std::string_view chars) {
  while (!chars.empty()) {
    if (counter_ % 10 == 0 && chars.size() >= 10) {
      chars = put_groups(chars);
      continue;
    }
    // Up to the next blank or line end in one piece.
    const std::size_t room = static_cast<std::size_t>(10 - counter_ % 10);
    const std::size_t step = std::min(room, chars.size());
    out_.write(chars.substr(0, step));
    counter_ += static_cast<int>(step);
    chars.remove_prefix(step);
    end_group();
  }
}

std::string_view ResidueGrouping::put_groups(std::string_view chars) {
  // Whole groups of ten, each with the blank or line end after it, straight into the writer's
  // buffer.
  const std::size_t groups = std::min(chars.size() / 10, Writer::kCapacity / 11);
  char* const start = out_.space(groups * 11);
  char* out = start;
  const char* from = chars.data();
  for (std::size_t group = 0; group < groups; ++group) {
    std::memcpy(out, from, 10);
    counter_ += 10;
    if (counter_ == 60) {
      out[10] = '\n';
      counter_ = 0;
    } else {
      out[10] = ' ';
    }
    out += 11;
    from += 10;
  }
  out_.commit(groups * 11);
  return chars.substr(groups * 10);
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
