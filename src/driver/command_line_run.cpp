// One invocation of the program: the options around the opening of the input, the run or the
// menus, the exit status, and the one place where a fatal error ends the program.
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "core/pending_files.h"
#include "driver/command_line.h"
#include "driver/invocation.h"
#include "driver/run.h"
#include "input/byte_source.h"

namespace selvane {

namespace {

// Every ignored or refused argument, on standard error.
void report_problems(const std::vector<ArgumentProblem>& problems, Writer& out) {
  for (const ArgumentProblem& problem : problems) {
    diagnose(out, problem.refused
                      ? in_quotes(problem.argument) + " refused: " + problem.reason
                      : "ignoring " + in_quotes(problem.argument) + ": " + problem.reason);
  }
}

// A run made from the command line, once the input named first was opened (`first` is its
// alignment, when it could be) and the options applied: every ignored or refused option reported
// on standard error, then the run. With --strict an ignored or refused argument, or an input
// that could not be opened, stops here before anything is written. Returns the exit status: 1,
// or with --posix-exit 0 after a finished run; with --strict 1 when no position was selected
// (in a batch, by any alignment).
int command_line_run(RunState& st, const std::vector<ArgumentProblem>& problems,
                     std::optional<Alignment> first, Writer& out) {
  const bool input_open = !st.input.filename.empty();
  report_problems(problems, out);
  // What a switch does depends on the input: known once it is open.
  const std::vector<IdleSwitch> idle =
      input_open ? idle_switches(make_request(st)) : std::vector<IdleSwitch>();
  for (const IdleSwitch& unused : idle) {
    diagnose(out, st.input.filename + ": " + in_quotes(unused.argument) +
                      " does nothing: " + unused.reason);
  }
  if (st.outputs.strict && (!problems.empty() || !idle.empty() || !input_open)) {
    std::string because;
    for (const ArgumentProblem& problem : problems) {
      because += because.empty() ? "of " : ", ";
      because += in_quotes(problem.argument);
    }
    for (const IdleSwitch& unused : idle) {
      because += because.empty() ? "of " : ", ";
      because += in_quotes(unused.argument);
    }
    if (!input_open)
      because += because.empty() ? "the input could not be opened" : " and the input";
    strict_stop(st.input.filename, because);
  }
  if (!st.outputs.out.empty() && st.input.tog_sb) {
    // Each alignment of a batch has its own selected blocks: one name cannot hold them all, and
    // a pipeline that reads standard output must not get a batch's report instead.
    fatal_raw("", st.input.filename + ": --out names the selected blocks of one alignment, and " +
                      "this is a paths file (--outdir gathers the files of a batch); no file " +
                      "was written");
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

// --version or --help: the answer, status 0.
int answer(Standalone request, const RunState& st, Writer& out) {
  out.write(request == Standalone::kPrintVersion ? version_line() : usage_text(st));
  out.flush();
  return 0;
}

int run_unguarded(std::span<const std::string_view> args, Writer& out, RunState& st,
                  MenuLoop menus) {
  if (const Standalone request = standalone_request(args); request != Standalone::kNone) {
    return answer(request, st, out);
  }
  const std::span<const std::string_view> options =
      args.empty() ? std::span<const std::string_view>() : args.subspan(1);
  OptionPass pass(st, out, options);
  std::optional<Alignment> first;
  if (!args.empty()) {
    st.input.filename = input_path(args[0]);
    st.input.typed = std::string(args[0]);
    pass.apply(OptionStage::kBeforeInput);
    // Asked after the input, answered before it is opened: nothing is read, nothing written
    // (the options of this stage change no default the usage shows).
    if (pass.standalone() != Standalone::kNone) return answer(pass.standalone(), st, out);
    try {
      first = open_input(st, out, options.empty() ? InputUse::kMenus : InputUse::kCommandLine);
    } catch (const FatalError&) {
      // An input that stops the program stops it before the other options are applied: what
      // was wrong with those applied already (--in-format, --long-names, --out) is said first.
      report_problems(pass.problems(), out);
      throw;
    }
  }
  if (!options.empty()) {
    pass.apply(OptionStage::kAfterInput);
    return command_line_run(st, pass.problems(), std::move(first), out);
  }
  // Interactive session. The alignment read for the report is not kept: every run reads its
  // input again, but for an input that can be read only once, which open_input kept. The menus
  // end the process themselves (ExitRequest) when the user quits.
  first.reset();
  menus(st, out);
  out.flush();
  return 1;
}

// The builder of an array does not know the file: the step that ran out of memory, or else the
// input.
std::string memory_detail(const std::string& file, const std::string& what) {
  return file.empty() ? what : file + ": " + what;
}

}  // namespace

int run_command_line(std::span<const std::string_view> args, Writer& out, RunState& st,
                     MenuLoop menus) {
  apply_startup_defaults(st);
  // Every stop ends the same way: no temporary file left, the detail on standard error, the
  // message and "Execution terminated" on standard output, status 1.
  const auto stop = [&](const std::string& detail, std::string_view text,
                        const std::string& hint = {}) {
    remove_pending_files();
    if (!detail.empty()) diagnose(out, detail);
    if (!hint.empty()) diagnose(out, hint);
    out.write(text);
    out.write("\nExecution terminated\n");
    out.flush();
    return 1;
  };
  try {
    return run_unguarded(args, out, st, menus);
  } catch (const MemoryFailure& error) {
    return stop(
        memory_detail(error.file().empty() ? st.input.filename : error.file(), error.detail()),
        error.text());
  } catch (const FatalError& error) {
    return stop(error.detail(), error.text(), error.hint());
  } catch (const std::bad_alloc&) {
    // Allocations that matter report their own array; this is the last resort.
    return stop(memory_detail(st.input.filename, "out of memory"), "\nMemory allocation failure\n");
  } catch (const ExitRequest& request) {
    out.flush();
    return request.status;
  }
}

}  // namespace selvane
