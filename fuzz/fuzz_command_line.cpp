// The command line after a fixed input: the fuzz data are the option arguments (one per line or
// NUL-separated), and its first byte chooses the input, an alignment or a paths file. Whatever
// the options, the run may only write its own outputs and must leave its inputs as they were.
// Long options are fuzzed too; an output folder, the file of --out and the summary file are kept
// inside the scratch folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/output_file.h"
#include "core/run_state.h"
#include "core/writer.h"
#include "driver/command_line.h"
#include "driver/output_plan.h"
#include "scratch.h"

using namespace selvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  fuzz::enter_scratch();
  fuzz::reset_scratch();
  const std::string input = size > 0 && (data[0] & 1) ? "list" : "a.fas";
  const std::string text(reinterpret_cast<const char*>(data) + (size > 0), size - (size > 0));
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (c == '\n' || c == '\0') {
      words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  words.push_back(word);
  // An output folder, the file of --out and the summary file stay inside the scratch folder: one
  // level, not "." or ".."; --out=- (standard output) stays as it is.
  for (std::string& w : words) {
    for (const std::string_view option : {"--outdir=", "--out=", "--summary="}) {
      if (!w.starts_with(option) || (option == "--out=" && w == "--out=-")) continue;
      std::string name =
          fuzz::without_slashes(reinterpret_cast<const unsigned char*>(w.data()) + option.size(),
                                w.size() - option.size());
      if (name.empty() || name.front() == '.') name.insert(0, "o");
      // A scratch file this run does not read is no input of it: writing there is what was
      // asked, and the check of the inputs would take it for a finding.
      if (input == "a.fas" && (name == "b.fas" || name == "list")) name.insert(0, "o");
      w = std::string(option) + name;
    }
  }
  std::vector<std::string_view> args = {input};
  args.insert(args.end(), words.begin(), words.end());

  // The program's own invocation; with at least one option after the input the menus never start.
  RunState st;
  {
    Writer out = Writer::to_stream(sink);
    run_command_line(args, out, st, [](RunState&, Writer&) {});
  }
  // Exactly the files the run's plan names may stand beside the inputs.
  std::vector<std::string> allowed;
  const std::vector<std::string> alignments =
      input == "list" ? std::vector<std::string>{"a.fas", "b.fas"} : std::vector{input};
  for (const PlannedOutput& o : plan_run(make_request(st), alignments).outputs) {
    allowed.push_back(o.as_typed ? o.path : final_output_path(o.path, st.outputs));
  }
  fuzz::check_scratch(allowed, true);
  return 0;
}
