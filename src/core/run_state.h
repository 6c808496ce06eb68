// The run state: every setting, switch and control flag of the program, in one struct owned by
// main() and edited by the command line and the menus. A run does not work on it: it starts
// from a request made of it (driver/request.h), and what it leaves for the menus is applied
// back by the driver in one step.
//
// It is made of four parts that say what they hold: the block parameters, the output switches,
// the current input and the menu session. A computation or a writer takes only the parts it
// reads, so its signature tells what it depends on; nothing below the driver sees RunState.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace selvane {

// What was read of an input that can be read only once (input/detect.h): the run state only
// holds it, for the runs that follow.
struct ReadOnceInput;

inline constexpr const char* kVersion = "0.91b";

// The letters are those of the NBRF/PIR header and of the -t option.
enum class SeqType : char { kUnknown = '-', kProtein = 'P', kDna = 'D', kCodons = 'C' };

// b5, the positions a gap may stand in; the numbers are those of the block map's parameters.
enum class GapPolicy : std::int32_t { kNone = 1, kWithHalf = 2, kAll = 3 };

// The results and parameters file (-p): not written, HTML, text or short text.
enum class ResultsForm : std::int32_t { kNone = 0, kHtml = 1, kText = 2, kShort = 3 };

// Format of the current input, decided once from its first alignment.
enum class InputFormat : std::int32_t {
  kNone = 0,
  kPir = 1,
  kFasta = 2,
  kPhylip = 3,
  kClustal = 4,
  kStockholm = 5,
  kNexus = 6,
};

// Format of the alignment files a run writes (--out-format); by default the input's own.
enum class OutputFormat : std::int32_t {
  kSameAsInput = 0,
  kFasta,
  kPir,
  kPhylip,
  kNexus,
  kClustal
};

// The partition file beside each concatenation of a batch (--partitions[=FORM]): none, lines of
// "MODEL, NAME = FIRST-LAST" (RAxML-NG), or a NEXUS sets block (IQ-TREE).
enum class PartitionForm : std::uint8_t { kNone, kRaxml, kNexus };

// The block parameters b0 to b6 and the sequence type they are applied to. negval, flankval and
// initnegval are 0 until an alignment has been loaded and the sequence-count defaults have been
// applied to it.
struct BlockParams {
  std::int32_t negval = 0;      // b1: minimum number of sequences for a conserved position
  std::int32_t flankval = 0;    // b2: minimum number of sequences for a flank position
  std::int32_t initnegval = 0;  // lowest value b1 may take: numseq / 2 + 1
  std::int32_t negblen = 8;     // b3: maximum number of contiguous nonconserved positions
  std::int32_t posblen = 10;    // b0: minimum length of an initial block
  std::int32_t posblen2 = 10;   // b4: minimum length of a block after gap cleaning
  GapPolicy tog_gaps = GapPolicy::kNone;  // b5
  bool tog_sim = true;                    // b6: use the similarity matrix (protein only)
  SeqType seq_type = SeqType::kUnknown;
};

// How the concatenations of a batch join their alignments, beyond the joining by position.
struct JoinSwitches {
  bool by_name = false;  // --by-name: sequences are joined by taxon, gaps where one is missing
  // How a taxon is read from a sequence name: --taxon-sep=C (up to the first C) or
  // --taxon-regex=RE; the first word of the name without either. Kept as typed: they are
  // checked when a batch that concatenates starts.
  std::optional<std::string> taxon_sep;
  std::optional<std::string> taxon_regex;
  PartitionForm partitions = PartitionForm::kNone;  // --partitions
  // Joined by taxon, the occupancy the concatenations ask for (0: none): --min-taxa=N, the taxa
  // of an alignment; --min-genes=N, the alignments a taxon is found in.
  std::int32_t min_taxa = 0;
  std::int32_t min_genes = 0;
  // --occupancy: joined by taxon, a table of the residues each taxon has in each alignment
  // beside every concatenation.
  bool occupancy = false;
};

// Which files a run writes, and how.
struct OutputSwitches {
  bool tog_seqfile = true;                        // selected blocks
  ResultsForm tog_viewfile = ResultsForm::kHtml;  // results and parameters file
  bool tog_maskfile = false;                      // mask file
  bool tog_psfile = false;                        // EPS block map
  bool tog_ncbfile = false;                       // nonconserved blocks
  bool tog_ungappedfile = false;                  // ungapped alignment
  bool tog_allfile = false;                       // batch: concatenated selected blocks
  bool tog_allfile_init = false;                  // batch: concatenated input alignments
  bool tog_allungfile = false;                    // batch: concatenated ungapped alignments
  std::string exten = "-sv";     // generic extension of output names, 1 to 5 characters
  std::int32_t breakcount = 60;  // positions per display row of the results file
  // --posix-exit: a finished run ends with status 0 instead of 1, so that pipelines can tell
  // success from failure by the status alone.
  bool posix_exit = false;
  // --svg: each alignment run (and a concatenation of selected blocks) also gets an SVG overview.
  bool svg_overview = false;
  // --strict (implies posix_exit): an ignored argument or a refused value stops the run before
  // any file is written, and a run that selects no position fails.
  bool strict = false;
  // --outdir=DIR: every output file goes into this folder, under its usual file name; empty:
  // beside its input.
  std::string outdir;
  // --out-format: the format of the alignment files (selected and nonconserved blocks, ungapped
  // alignment, the concatenations).
  OutputFormat out_format = OutputFormat::kSameAsInput;
  // --out=FILE: the selected blocks of a single alignment go to FILE, as named (--outdir does not
  // move it), or with "-" to standard output; empty: the usual name.
  std::string out;
  JoinSwitches join;
  // --site-table: each alignment also gets a table of its input columns (output/site_table.h).
  bool site_table = false;
  // --summary=FILE: one table of every alignment of the run, written to FILE as typed (not
  // moved by --outdir); empty: none.
  std::string summary;
};

// A b1 or b2 the command line refused for the first alignment, with the range it was checked
// against.
struct RefusedCount {
  std::int32_t value, low, high;
};

// The input the user named, what its detection found, and the user's choices about b1 and b2
// across a batch. A run reads it once, when it starts (driver/request.h); the paths a run works
// through are its own, not kept here.
struct CurrentInput {
  // Text of any length; none is limited to a fixed buffer.
  std::string filename;  // the input as named by the user; empty while none is open
  // The input exactly as typed on the command line: "-" where `filename` says /dev/stdin. What
  // lists the input for scripts (--summary) gives it so. Empty in the menus.
  std::string typed;

  // What detection found in `filename` (set when it is opened, kept until the next open).
  std::string first_path;  // the alignment read first: the input, or the first path it lists
  InputFormat fileformat = InputFormat::kNone;
  bool tog_sb = false;     // the current input is a paths file
  std::int32_t numal = 1;  // alignments the current input stands for
  // An input that can be read only once (standard input, a pipe): what was read of it when it
  // was opened, for every run made of it; null for an input each run reads again.
  std::shared_ptr<const ReadOnceInput> read_once;

  bool tog_sub = false;  // b1 and b2 are fixed for a whole batch, not derived per alignment
  // The user chose the sequence type (-t, or the main menu) after this input was detected; a
  // FASTA input read as protein without that choice may deserve a hint.
  bool type_chosen = false;
  // --long-names: names of any length are read (and written whole).
  bool long_names = false;
  // --in-format: how the format of the input is decided. Without it (nullopt), NBRF/PIR or FASTA
  // by the first line, FASTA read as protein; kNone (auto): every format the program reads, tried
  // in the order of the table of input formats; otherwise that format alone. With it, a format
  // that names no sequence type takes its type from its letters.
  std::optional<InputFormat> in_format;
  // The type was read from the letters of the first alignment, this share of which (in percent)
  // are A, C, G, T, U or N; nullopt when detection or the file named it.
  std::optional<std::int32_t> typed_by_letters;
  // b1 (negval_set) or b2 (flankval_set) was set by the user since the input was opened. A
  // batch joined by taxon keeps such a value for every alignment and derives the other.
  bool negval_set = false;
  bool flankval_set = false;
  // -b2=0 on the command line: b2 is the lowest it can be, b1 (flankval_set is then false).
  bool flankval_lowest = false;
  // A b1 or b2 the command line refused for the first alignment; a later value of the same
  // parameter clears it. The run goes on without it, but a batch joined by taxon, which checks
  // the user's values against every alignment, stops on it.
  std::optional<RefusedCount> refused_negval;
  std::optional<RefusedCount> refused_flankval;

  // Counts of the alignment loaded last (when the input was opened, or by the last run); they
  // outlive its data (the menus' ranges use them).
  std::int32_t numseq = 0;
  std::int32_t nupo = 0;
};

// What the menus remember between choices.
struct MenuSession {
  bool warn = true;          // the one-time warning about b1, b2 and concatenations is still due
  bool tog_expmen = false;   // the saving options menu shows its extended items
  bool tog_expmenb = false;  // the block parameters menu shows its extended items
  char menu = ' ';           // last menu choice, shared by the three menus
};

struct RunState {
  BlockParams params;
  OutputSwitches outputs;
  CurrentInput input;
  MenuSession session;
};

// How the reports and menus name a sequence type ("Protein", "DNA", "Codons"; empty for
// kUnknown) and a gap policy ("None", "With Half", "All").
std::string_view type_name(SeqType seq_type);
std::string_view gap_policy_name(GapPolicy tog_gaps);

// Start-up defaults: a default-constructed RunState already holds them; this restores them.
void apply_startup_defaults(RunState& st);

// b1 and b2 derived from a number of sequences: initnegval = negval = numseq / 2 + 1,
// flankval = numseq * 85 / 100, raised to 2 when that gives exactly 1.
void apply_sequence_count_defaults(BlockParams& params, std::int32_t numseq);

}  // namespace selvane
