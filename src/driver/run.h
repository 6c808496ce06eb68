// Opening an input and the run driver.
#pragma once

#include <cstdint>
#include <optional>

#include "core/run_state.h"
#include "core/writer.h"
#include "driver/request.h"
#include "driver/results.h"
#include "input/alignment.h"
#include "input/detect.h"

namespace selvane {

// Reports and applies what detection found for st.input.filename. An input that could not be
// opened prints "\n* File not opened *" (and the system's reason on standard error) and empties
// st.input.filename; otherwise the input's first path, counts, format and type are taken, and a
// paths file also resets tog_sub, warn and the three concatenation switches for the new batch.
void apply_detection(RunState& st, const Detection& found, Writer& out);

// Who opens an input: the menus read their answers from standard input, which therefore cannot
// be their input.
enum class InputUse { kCommandLine, kMenus };

// Runs input type detection on st.input.filename and, when the input could be opened, loads the
// (first) alignment, prints the report "\n%i sequences and %i positions in the first alignment
// file:\n%s\n\n" and derives b1 and b2 from it. Returns the loaded alignment; nullopt when the
// input could not be opened (st.input.filename is then empty) or can be read only once: what
// the runs need of such an input (its alignment, or the paths it lists) is kept in
// st.input.read_once instead.
std::optional<Alignment> open_input(RunState& st, Writer& out,
                                    InputUse use = InputUse::kCommandLine);

// One run of `request`: a single alignment or every alignment of a paths file. `preloaded`,
// when given, is the alignment open_input() just read from request.first_path; the run uses it
// instead of reading the same file a second time. Changes nothing but the files it writes.
RunResults run(const Request& request, Writer& out, std::optional<Alignment> preloaded);

// What a run leaves in the run state for the menus: the counts of the last alignment it
// processed, and its b1 and b2 (the request's, unless a batch derived them per alignment).
void leave_for_menus(RunState& st, const RunResults& results);

// What a run did, for the exit status of --strict.
struct RunOutcome {
  std::int64_t selected = 0;    // positions selected, summed over the alignments processed
  std::int32_t alignments = 0;  // alignments processed
};

// The run driver: a run of the request the run state makes now, whose results are then left
// for the menus.
RunOutcome calculate(RunState& st, Writer& out, std::optional<Alignment> preloaded = std::nullopt);

}  // namespace selvane
