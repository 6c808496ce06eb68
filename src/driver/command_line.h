// The command line: the options that follow the input (driver/option_table.h), and one whole
// invocation of the program from its arguments.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "core/writer.h"
#include "driver/option_table.h"

namespace selvane {

// An option argument that was ignored (it names no option) or whose value was refused.
struct ArgumentProblem {
  std::string argument;
  std::string reason;
  bool refused = false;  // the option was recognised, its value refused
};

// The option arguments of one command line, each applied once: at the stage of its option,
// from left to right within the stage. An argument that names no option is judged at the last
// stage.
class OptionPass {
 public:
  OptionPass(RunState& st, Writer& out, std::span<const std::string_view> options);
  void apply(OptionStage stage);
  // --help or --version among the arguments applied so far: the first of them.
  Standalone standalone() const;
  // Every argument that was ignored or refused, with why, in argument order.
  std::vector<ArgumentProblem> problems() const;

 private:
  OptionContext context_;
  std::span<const std::string_view> options_;
  std::vector<std::optional<ArgumentProblem>> problems_;  // one per argument
};

// Both stages at once, for a state whose input is already open: the options applied left to
// right (the warning of every refused short value printed on standard output), every argument
// that was ignored or refused returned for the caller to report on standard error.
std::vector<ArgumentProblem> parse_options(RunState& st, std::span<const std::string_view> options,
                                           Writer& out);

// The interactive menus, started when the input has no option after it; they live above the
// driver, so the caller hands them in.
using MenuLoop = void (*)(RunState& st, Writer& out);

// One invocation of the program, `args` without the program's name: --version or --help alone,
// else the start-up defaults in `st`, the input opened with the options of the first stage in
// force, and either one run with every option applied (every ignored or refused one reported on
// standard error) or the menus. Every fatal error of the program ends here: its message and
// "\nExecution terminated" on standard output, status 1. Returns the exit status; `st` keeps
// the state the run ended with.
int run_command_line(std::span<const std::string_view> args, Writer& out, RunState& st,
                     MenuLoop menus);

}  // namespace selvane
