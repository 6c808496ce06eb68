// Opening an input and the run driver.
#pragma once

#include <cstdint>
#include <optional>

#include "core/run_state.h"
#include "core/writer.h"
#include "input/alignment.h"
#include "input/detect.h"

namespace selvane {

// Reports and applies what detection found for st.input.filename. An input that could not be
// opened prints "\n* File not opened *" (and the system's reason on standard error) and empties
// st.input.filename; otherwise the input's
// names, counts, format and type are taken, and a paths file also splits its name and resets
// tog_sub, warn and the three concatenation switches for the new batch.
void apply_detection(RunState& st, const Detection& found, Writer& out);

// Runs input type detection on st.input.filename and, when the input could be opened, loads the
// (first) alignment, prints the report "\n%i sequences and %i positions in the first alignment
// file:\n%s\n\n" and derives b1 and b2 from it. Returns the loaded alignment, or nullopt when
// the input could not be opened (st.input.filename is then empty).
std::optional<Alignment> open_input(RunState& st, Writer& out);

// What a run did, for the exit status of --strict.
struct RunOutcome {
  std::int64_t selected = 0;    // positions selected, summed over the alignments processed
  std::int32_t alignments = 0;  // alignments processed
};

// One run over the current input: a single alignment or every alignment of a paths file.
// `preloaded`, when given, is the alignment open_input() just read from st.input.fichero1; the run
// uses it instead of reading the same file a second time.
RunOutcome calculate(RunState& st, Writer& out, std::optional<Alignment> preloaded = std::nullopt);

}  // namespace selvane
