#include "driver/invocation.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/run_state.h"
#include "driver/option_table.h"
#include "input/block_reader.h"
#include "output/naming.h"

namespace selvane {

namespace {

// Appends printf-formatted text.
__attribute__((format(printf, 2, 3))) void appendf(std::string& text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (n > 0) {
    const std::size_t at = text.size();
    text.resize(at + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(text.data() + at, static_cast<std::size_t>(n) + 1, format, again);
    text.resize(at + static_cast<std::size_t>(n));
  }
  va_end(again);
}

bool is_one_of(std::string_view arg, std::string_view long_name, std::string_view short_name) {
  return arg == long_name || arg == short_name;
}

// An output file of the usage's example: its name in a column of 18 characters.
void example_file(std::string& text, const std::string& name, const char* what) {
  appendf(text, "  %-17s %s\n", name.c_str(), what);
}

// One option of the usage: its name (and value) in a column of 15 characters, the description
// beside it, or on the next line when the option is too wide; continuation lines under it.
void option_lines(std::string& text, const OptionRow& option, const RunState& start) {
  const std::string written = option.written();
  if (written.size() <= 15) {
    appendf(text, "  %-15s ", written.c_str());
  } else {
    appendf(text, "  %s\n%18s", written.c_str(), "");
  }
  std::string help(option.help);
  if (option.default_of != nullptr) help.replace(help.find("{}"), 2, option.default_of(start));
  // The values a table lists, one line each: the name in a column, what it is beside it.
  if (option.values != nullptr) {
    const std::vector<NamedValue> values = option.values();
    std::size_t column = 0;
    for (const NamedValue& value : values) {
      if (!value.about.empty()) column = std::max(column, value.name.size());
    }
    for (const NamedValue& value : values) {
      if (value.about.empty()) continue;
      (help += '\n') += value.name;
      help.append(column - value.name.size() + 2, ' ');
      help += value.about;
    }
  }
  std::string_view rest = help;
  for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;
       rest.remove_prefix(end + 1)) {
    text.append(rest.substr(0, end));
    text += '\n';
    text.append(18, ' ');
  }
  text.append(rest);
  text += '\n';
}

// The short or the long options, in the table's order but for a row described after the next.
void options_lines(std::string& text, bool long_ones, const RunState& start) {
  std::vector<const OptionRow*> rows;
  for (const OptionRow& option : option_table()) {
    if (option.is_long() == long_ones) rows.push_back(&option);
  }
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
    if (rows[i]->help_after_next) {
      std::swap(rows[i], rows[i + 1]);
      ++i;
    }
  }
  for (const OptionRow* option : rows) option_lines(text, *option, start);
}

}  // namespace

std::string usage_text(const RunState& start) {
  const OutputSwitches& o = start.outputs;
  std::string text;
  // The options are the command line's own table (driver/option_table.h); every default is read
  // from the start-up state, so none can drift from what the program does. The README and
  // selvane.1 are kept in step with it (tests/unit/pipelines_docs_test.cpp).
  text += R"(Usage: selvane [input [option ...]]
       selvane --version | -V | --help | -h

Selects the conserved blocks of a multiple sequence alignment (protein, DNA or
codons; FASTA or NBRF/PIR, and with --in-format PHYLIP, Clustal, Stockholm or
NEXUS), or of every alignment listed in a paths file.
An input followed by options makes one run, then the program ends. Without
options the interactive menus start. Inputs may be gzip-compressed; - is
standard input (with options only: the menus read their answers from it).

Options are written -name=value, without spaces; N is the number of sequences.
An argument that names no option is ignored, with a line on standard error.
)";
  options_lines(text, false, start);
  text += "\nLong options, written after the input too:\n";
  options_lines(text, true, start);

  const auto name = [&](OutputFile kind) { return output_name("aln.fas", o.exten, kind); };
  const auto batch = [&](BatchFile kind) {
    return batch_output_name("", "list.txt", o.exten, kind);
  };
  text +=
      "\nOutput files, beside the input or in the folder of --outdir (here aln.fas\n"
      "with the default extension):\n";
  example_file(text, name(OutputFile::kSelectedBlocks),
               "selected blocks, in the input's format (-s)");
  appendf(text,
          "  %-17s results and parameters; %s with -p=T,\n"
          "                    %s with -p=S\n",
          name(OutputFile::kResultsHtml).c_str(), name(OutputFile::kResultsText).c_str(),
          name(OutputFile::kResultsShort).c_str());
  example_file(text, name(OutputFile::kMask), "mask file (-k)");
  example_file(text, name(OutputFile::kPostScript), "EPS map of the blocks (-d)");
  example_file(text, name(OutputFile::kNonconserved), "nonconserved blocks (-n)");
  example_file(text, name(OutputFile::kUngapped), "ungapped alignment (-u)");
  example_file(text, name(OutputFile::kOverview), "SVG overview (--svg)");
  example_file(text, name(OutputFile::kSiteTable), "table of the input columns (--site-table)");
  text +=
      "  For standard input and <(...): named stdin (stdin-sv, ...) in the working\n"
      "  folder.\n";
  text += "  For a paths file list.txt, in the folder of the last alignment it lists:\n";
  appendf(text, "  %s (-a), %s (-c), %s (-w),\n  %s (-a with --svg)\n",
          batch(BatchFile::kBlocks).c_str(), batch(BatchFile::kInputs).c_str(),
          batch(BatchFile::kUngapped).c_str(), batch(BatchFile::kBlocksOverview).c_str());
  appendf(text, "  and with --partitions %s and the like\n",
          partitions_name(batch(BatchFile::kBlocks)).c_str());
  appendf(text, "  (--occupancy: %s and the like)\n",
          occupancy_name(batch(BatchFile::kBlocks)).c_str());
  text += R"(
Reports, warnings and error messages go to standard output, as always; lines
starting "selvane: " on standard error say which file and what went wrong,
which argument was ignored, and give hints.

Exit status: 1 after every run and every error. With --posix-exit: 0 after a
run that finished, 1 after an error. --version and --help exit with 0.

Example:
  selvane aln.fas -b5=h -p=t --posix-exit
)";
  appendf(text, "  (gaps allowed in up to half the sequences; writes %s, %s)\n",
          name(OutputFile::kSelectedBlocks).c_str(), name(OutputFile::kResultsText).c_str());
  return text;
}

Standalone standalone_request(std::span<const std::string_view> args) {
  if (args.size() != 1) return Standalone::kNone;
  const std::string_view arg = args[0];
  Standalone request = Standalone::kNone;
  if (is_one_of(arg, "--version", "-V")) request = Standalone::kPrintVersion;
  if (is_one_of(arg, "--help", "-h")) request = Standalone::kPrintHelp;
  // Opened the way input detection opens its input, so both agree on what is a file.
  if (request != Standalone::kNone && BlockReader::open(std::string(arg))) {
    return Standalone::kNone;
  }
  return request;
}

std::string version_line() {
  return std::string("selvane ") + kVersion + "\n";
}

}  // namespace selvane
