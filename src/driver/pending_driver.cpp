// Placeholders until the run driver lands; this file is deleted then.
#include "driver/command_line.h"
#include "driver/fatal.h"
#include "driver/run.h"

namespace selvane {
void parse_options(RunState&, std::span<const std::string_view>, Writer&) {
  fatal("\nnot built yet");
}
std::optional<Alignment> open_input(RunState&, Writer&) { fatal("\nnot built yet"); }
void calculate(RunState&, Writer&, std::optional<Alignment>) { fatal("\nnot built yet"); }
}  // namespace selvane
