#include "driver/invocation.h"

#include "core/run_state.h"
#include "input/block_reader.h"

namespace selvane {

namespace {

// Kept in step with the option table of the command line, the README and selvane.1.
constexpr std::string_view kUsage = R"(Usage: selvane [input [option ...]]
       selvane --version | -V | --help | -h

Selects the conserved blocks of a multiple sequence alignment (protein, DNA or
codons; FASTA or NBRF/PIR), or of every alignment listed in a paths file.
An input followed by options makes one run, then the program ends. Without
options the interactive menus start.

Options are written -name=value, without spaces; N is the number of sequences.
An argument that names no option is ignored without a message.
  -t=P|D|C        sequence type: protein, DNA, codons (default: from the input;
                  FASTA is read as protein)
  -b1=N/2+1..b2   b1, minimum sequences for a conserved position
                  (default: N/2+1)
  -b2=b1..N       b2, minimum sequences for a flank position
                  (default: N*85/100, at least 2; -b2=0 sets it to b1)
  -b3=0..32000    b3, maximum contiguous nonconserved positions (default: 8)
  -b4=2..32000    b4, minimum length of a block; also sets b0 (default: 10)
  -b0=2..32000    b0, minimum length of an initial block
                  (default: 10, or the value of b4)
  -b5=N|H|A       b5, gap positions allowed: None, With Half, All (default: N)
  -b6=Y|N         b6, use the similarity matrix, proteins only (default: Y)
  -e=TEXT         generic extension of output names, 1 to 5 characters
                  (default: -sv)
  -s=Y|N          write the selected blocks (default: Y)
  -p=Y|N|T|S      write the results file: HTML, none, text, short text
                  (default: Y)
  -k=Y|N          write the mask file (default: N)
  -d=Y|N          write the EPS map of the blocks (default: N)
  -n=Y|N          write the nonconserved blocks (default: N)
  -u=Y|N          write the ungapped alignment (default: N)
  -a=Y|N          paths file: concatenate the selected blocks (default: N)
  -c=Y|N          paths file: concatenate the input alignments (default: N)
  -w=Y|N          paths file: concatenate the ungapped alignments (default: N)
  -v=50..32000    positions per line in the results file (default: 60)
  --posix-exit    exit status 0 after a finished run (default: always 1)

Output files, beside the input (here aln.fas with the default extension):
  aln.fas-sv        selected blocks, in the input's format (-s)
  aln.fas-sv.htm    results and parameters; aln.fas-sv.txt with -p=T,
                    aln.fas-sv.txts with -p=S
  aln.fas-svMask    mask file (-k)
  aln.fas-svPS      EPS map of the blocks (-d)
  aln.fas-svComp    nonconserved blocks (-n)
  aln.fas--         ungapped alignment (-u)
  For a paths file list.txt, in the folder of the last alignment it lists:
  list.txt-sv.seq (-a), list.txt.seq (-c), list.txt--.seq (-w)

Exit status: 1 after every run and every error. With --posix-exit: 0 after a
run that finished, 1 after an error. --version and --help exit with 0.

Example:
  selvane aln.fas -b5=h -p=t --posix-exit
  (gaps allowed in up to half the sequences; writes aln.fas-sv, aln.fas-sv.txt)
)";

bool is_one_of(std::string_view arg, std::string_view long_name, std::string_view short_name) {
  return arg == long_name || arg == short_name;
}

}  // namespace

Standalone standalone_request(std::span<const std::string_view> args) {
  if (args.size() != 1) return Standalone::kNone;
  const std::string_view arg = args[0];
  Standalone request = Standalone::kNone;
  if (is_one_of(arg, "--version", "-V")) request = Standalone::kVersion;
  if (is_one_of(arg, "--help", "-h")) request = Standalone::kHelp;
  // Opened the way input detection opens its input, so both agree on what is a file.
  if (request != Standalone::kNone && BlockReader::open(std::string(arg))) {
    return Standalone::kNone;
  }
  return request;
}

std::string version_line() {
  return std::string("selvane ") + kVersion + "\n";
}

std::string_view usage_text() {
  return kUsage;
}

}  // namespace selvane
