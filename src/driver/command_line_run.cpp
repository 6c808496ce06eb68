// A run made from the command line: the options after the input, the run, the exit status.
#include <string>
#include <utility>
#include <vector>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "driver/command_line.h"
#include "driver/run.h"

namespace selvane {

int command_line_run(RunState& st, std::span<const std::string_view> options,
                     std::optional<Alignment> first, Writer& out) {
  const bool input_open = !st.input.filename.empty();
  const std::vector<ArgumentProblem> problems = parse_options(st, options, out);
  for (const ArgumentProblem& problem : problems) {
    diagnose(out, problem.refused
                      ? in_quotes(problem.argument) + " refused: " + problem.reason
                      : "ignoring " + in_quotes(problem.argument) + ": " + problem.reason);
  }
  if (st.outputs.strict && (!problems.empty() || !input_open)) {
    std::string because;
    for (const ArgumentProblem& problem : problems) {
      because += because.empty() ? "of " : ", ";
      because += in_quotes(problem.argument);
    }
    if (!input_open)
      because += because.empty() ? "the input could not be opened" : " and the input";
    // Nothing has been written yet: a pipeline that asked for strictness gets no output made
    // with settings it did not mean.
    fatal_raw("", st.input.filename + ": --strict: stopping before any file is written, because " +
                      because);
  }
  const RunOutcome outcome = calculate(st, out, std::move(first));
  if (st.outputs.strict && outcome.selected == 0) {
    // The files are written (they show what happened), but nothing downstream can use them.
    diagnose(out,
             st.input.filename + (st.input.tog_sb && outcome.alignments > 1
                                      ? ": --strict: the run fails: no alignment of the "
                                        "batch selected a position"
                                      : ": --strict: the run fails: no position was selected"));
    out.flush();
    return 1;
  }
  out.flush();
  return st.outputs.posix_exit ? 0 : 1;
}

}  // namespace selvane
