#include "core/diagnostics.h"

#include <cstdio>
#include <string>

namespace selvane {

void diagnose(Writer& out, std::string_view text) {
  out.flush();
  std::string line("selvane: ");
  line += text;
  line += '\n';
  // One call, so that a line is never split by another process writing the same stream.
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

std::string in_quotes(std::string_view text) {
  std::string quoted("\"");
  quoted += text;
  quoted += '"';
  return quoted;
}

}  // namespace selvane
