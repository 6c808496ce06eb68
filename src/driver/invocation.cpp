#include "driver/invocation.h"

#include <cstdarg>
#include <cstdio>

#include "core/run_state.h"
#include "core/setting_rules.h"
#include "driver/long_options.h"
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

// One long option of the usage: its name (and value) in the column of the short options, the
// description beside it, or on the next line when the option is too wide.
void long_option_lines(std::string& text, const LongOption& option) {
  std::string written(option.name);
  if (!option.value.empty()) (written += '=') += option.value;
  if (written.size() <= 15) {
    appendf(text, "  %-15s ", written.c_str());
  } else {
    appendf(text, "  %s\n%18s", written.c_str(), "");
  }
  std::string_view help = option.help;
  for (std::size_t end; (end = help.find('\n')) != std::string_view::npos;
       help.remove_prefix(end + 1)) {
    text.append(help.substr(0, end));
    text += '\n';
    text.append(18, ' ');
  }
  text.append(help);
  text += '\n';
}

}  // namespace

std::string usage_text(const RunState& start) {
  const BlockParams& b = start.params;
  const OutputSwitches& o = start.outputs;
  std::string text;
  // Kept in step with the option table of the command line, the README and selvane.1; every
  // default is read from the start-up state, so none can drift from what the program does.
  text += R"(Usage: selvane [input [option ...]]
       selvane --version | -V | --help | -h

Selects the conserved blocks of a multiple sequence alignment (protein, DNA or
codons; FASTA or NBRF/PIR), or of every alignment listed in a paths file.
An input followed by options makes one run, then the program ends. Without
options the interactive menus start.

Options are written -name=value, without spaces; N is the number of sequences.
An argument that names no option is ignored, with a line on standard error.
  -t=P|D|C        sequence type: protein, DNA, codons (default: from the input;
                  FASTA is read as protein)
  -b1=N/2+1..b2   b1, minimum sequences for a conserved position
                  (default: N/2+1)
  -b2=b1..N       b2, minimum sequences for a flank position
                  (default: N*85/100, at least 2; -b2=0 sets it to b1)
)";
  appendf(text, "  -b3=0..32000    b3, maximum contiguous nonconserved positions (default: %d)\n",
          b.negblen);
  appendf(text, "  -b4=2..32000    b4, minimum length of a block; also sets b0 (default: %d)\n",
          b.posblen2);
  appendf(text,
          "  -b0=2..32000    b0, minimum length of an initial block\n"
          "                  (default: %d, or the value of b4)\n",
          b.posblen);
  appendf(text, "  -b5=N|H|A       b5, gap positions allowed: None, With Half, All (default: %c)\n",
          gap_policy_letter(b.tog_gaps));
  appendf(text, "  -b6=Y|N         b6, use the similarity matrix, proteins only (default: %c)\n",
          yes_no_letter(b.tog_sim));
  appendf(text,
          "  -e=TEXT         generic extension of output names, 1 to 5 characters\n"
          "                  (default: %s)\n",
          o.exten.c_str());
  appendf(text, "  -s=Y|N          write the selected blocks (default: %c)\n",
          yes_no_letter(o.tog_seqfile));
  appendf(text,
          "  -p=Y|N|T|S      write the results file: HTML, none, text, short text\n"
          "                  (default: %c)\n",
          results_form_letter(o.tog_viewfile));
  appendf(text, "  -k=Y|N          write the mask file (default: %c)\n",
          yes_no_letter(o.tog_maskfile));
  appendf(text, "  -d=Y|N          write the EPS map of the blocks (default: %c)\n",
          yes_no_letter(o.tog_psfile));
  appendf(text, "  -n=Y|N          write the nonconserved blocks (default: %c)\n",
          yes_no_letter(o.tog_ncbfile));
  appendf(text, "  -u=Y|N          write the ungapped alignment (default: %c)\n",
          yes_no_letter(o.tog_ungappedfile));
  appendf(text, "  -a=Y|N          paths file: concatenate the selected blocks (default: %c)\n",
          yes_no_letter(o.tog_allfile));
  appendf(text, "  -c=Y|N          paths file: concatenate the input alignments (default: %c)\n",
          yes_no_letter(o.tog_allfile_init));
  appendf(text, "  -w=Y|N          paths file: concatenate the ungapped alignments (default: %c)\n",
          yes_no_letter(o.tog_allungfile));
  appendf(text, "  -v=50..32000    positions per line in the results file (default: %d)\n",
          o.breakcount);
  text += "\nLong options, written after the input too:\n";
  for (const LongOption& option : long_options()) long_option_lines(text, option);

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
  text += "  For a paths file list.txt, in the folder of the last alignment it lists:\n";
  appendf(text, "  %s (-a), %s (-c), %s (-w),\n  %s (-a with --svg)\n",
          batch(BatchFile::kBlocks).c_str(), batch(BatchFile::kInputs).c_str(),
          batch(BatchFile::kUngapped).c_str(), batch(BatchFile::kBlocksOverview).c_str());
  appendf(text, "  and with --partitions %s and the like\n",
          partitions_name(batch(BatchFile::kBlocks)).c_str());
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
