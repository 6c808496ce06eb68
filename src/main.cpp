// Entry of selvane: the cleanup of temporary files on a signal, standard output, the invocation
// (driver/command_line.h: one command-line run or the menus, and the one catch of fatal errors)
// and the check that standard output was written.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/diagnostics.h"
#include "core/pending_files.h"
#include "core/run_state.h"
#include "core/writer.h"
#include "driver/command_line.h"
#include "menus/menu_input.h"
#include "menus/menus.h"

namespace {

// The menus, read from standard input, until the user quits.
void menus_on_stdin(selvane::RunState& st, selvane::Writer& out) {
  selvane::MenuInput in(stdin, out);
  do {
    selvane::menu_main(st, out, in);
  } while (st.session.menu != 'q');
}

}  // namespace

int main(int argc, char** argv) {
  using namespace selvane;
  install_cleanup_handlers();
  Writer out = Writer::to_stdout();
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  RunState st;
  int status = run_command_line(args, out, st, menus_on_stdin);
  // A report that never reached its reader is a failed run, whatever the run itself ended with.
  out.flush();
  if (out.error() != 0) {
    diagnose(out,
             std::string("standard output could not be written: ") + std::strerror(out.error()));
    status = 1;
  }
  return status;
}
