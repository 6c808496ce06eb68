// Entry of selvane: start-up defaults, then either one command-line run or the menus.
// Every fatal error of the program ends here, in the one catch below.
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "core/pending_files.h"
#include "core/run_state.h"
#include "core/writer.h"
#include "driver/command_line.h"
#include "driver/invocation.h"
#include "driver/long_options.h"
#include "driver/run.h"
#include "menus/menu_input.h"
#include "menus/menus.h"

namespace {

// The builder of an array does not know the file: the step that ran out of memory, or else the
// input.
std::string memory_detail(const std::string& file, const std::string& what) {
  return file.empty() ? what : file + ": " + what;
}

int run(int argc, char** argv, selvane::Writer& out) {
  using namespace selvane;
  RunState st;
  apply_startup_defaults(st);
  // Every stop ends the same way: no temporary file left, the detail on standard error, the
  // message and "Execution terminated" on standard output, status 1.
  const auto stop = [&](const std::string& detail, std::string_view text) {
    remove_pending_files();
    if (!detail.empty()) diagnose(out, detail);
    out.write(text);
    out.write("\nExecution terminated\n");
    out.flush();
    return 1;
  };
  try {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (const Standalone request = standalone_request(args); request != Standalone::kNone) {
      out.write(request == Standalone::kPrintVersion ? version_line() : usage_text(st));
      out.flush();
      return 0;
    }
    const std::span<const std::string_view> options =
        args.empty() ? std::span<const std::string_view>() : std::span(args).subspan(1);
    std::optional<Alignment> first;
    if (!args.empty()) {
      st.input.filename = std::string(args[0]);
      // The long options that change how the input is read are in force when it is opened.
      apply_long_options(st, options);
      first = open_input(st, out);
    }
    if (!options.empty()) return command_line_run(st, options, std::move(first), out);
    // Interactive session. The alignment read for the report is not kept: every run reads its
    // input again. The menus end the process themselves (ExitRequest) when the user quits.
    first.reset();
    MenuInput in(stdin, out);
    do {
      menu_main(st, out, in);
    } while (st.session.menu != 'q');
    out.flush();
    return 1;
  } catch (const MemoryFailure& error) {
    return stop(
        memory_detail(error.file().empty() ? st.input.filename : error.file(), error.detail()),
        error.text());
  } catch (const FatalError& error) {
    return stop(error.detail(), error.text());
  } catch (const std::bad_alloc&) {
    // Allocations that matter report their own array; this is the last resort.
    return stop(memory_detail(st.input.filename, "out of memory"), "\nMemory allocation failure\n");
  } catch (const ExitRequest& request) {
    out.flush();
    return request.status;
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace selvane;
  install_cleanup_handlers();
  Writer out = Writer::to_stdout();
  int status = run(argc, argv, out);
  // A report that never reached its reader is a failed run, whatever the run itself ended with.
  out.flush();
  if (out.error() != 0) {
    diagnose(out,
             std::string("standard output could not be written: ") + std::strerror(out.error()));
    status = 1;
  }
  return status;
}
