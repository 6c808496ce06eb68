// The run state: every setting, switch and control flag of the program, in one struct owned by
// main() and passed by reference to the command line, the run driver and the menus.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace selvane {

inline constexpr const char* kVersion = "0.91b";

// fileformat values
inline constexpr int kFormatNone = 0;
inline constexpr int kFormatPir = 1;
inline constexpr int kFormatFasta = 2;

struct RunState {
  // Block parameters (b1 .. b6, b0). negval, flankval and initnegval are 0 until an alignment
  // has been loaded and the sequence-count defaults have been applied to it.
  std::int32_t negval = 0;      // b1: minimum number of sequences for a conserved position
  std::int32_t flankval = 0;    // b2: minimum number of sequences for a flank position
  std::int32_t initnegval = 0;  // lowest value b1 may take: numseq / 2 + 1
  std::int32_t negblen = 8;     // b3: maximum number of contiguous nonconserved positions
  std::int32_t posblen = 10;    // b0: minimum length of an initial block
  std::int32_t posblen2 = 10;   // b4: minimum length of a block after gap cleaning
  std::int32_t tog_gaps = 1;    // b5: 1 None, 2 With Half, 3 All
  std::int32_t tog_sim = 1;     // b6: 1 use the similarity matrix (protein only), 0 not

  // Output switches.
  int tog_seqfile = 1;           // selected blocks
  int tog_viewfile = 1;          // results file: 0 no, 1 HTML, 2 text, 3 short text
  int tog_maskfile = 0;          // mask file
  int tog_psfile = 0;            // EPS block map
  int tog_ncbfile = 0;           // nonconserved blocks
  int tog_ungappedfile = 0;      // ungapped alignment
  int tog_allfile = 0;           // batch: concatenated selected blocks
  int tog_allfile_init = 0;      // batch: concatenated input alignments
  int tog_allungfile = 0;        // batch: concatenated ungapped alignments
  std::string exten = "-sv";     // generic extension of output names, 1 to 5 characters
  std::int32_t breakcount = 60;  // positions per display row of the results file

  // Control flags and menu state.
  char seq_type = '-';           // 'P' protein, 'D' DNA, 'C' codons, '-' not yet known
  int tog_sb = 0;                // 1 when the current input is a paths file
  std::int32_t numal = 1;        // alignments the current input stands for
  std::int32_t tog_sub = 0;      // 1 once b1 and b2 are fixed for a whole batch
  std::int32_t warn = 1;         // 1 while the menus' one-time warning is still due
  std::int32_t tog_expmen = 0;   // saving options menu shows its extended items
  std::int32_t tog_expmenb = 0;  // block parameters menu shows its extended items
  char menu = ' ';               // last menu choice, shared by the three menus
  int fileformat = kFormatNone;  // format of the current input: kFormatPir or kFormatFasta
  // 1 after --posix-exit on the command line: a finished run ends with status 0 instead of 1,
  // so that pipelines can tell success from failure by the status alone.
  int posix_exit = 0;

  // File names. Text of any length; none is limited to a fixed buffer.
  std::string filename;        // the input as named by the user; empty while none is open
  std::string fichero1;        // path of the alignment being processed
  std::string name_file;       // last path split: the part after the last '/'
  std::string path_file;       // last path split: up to and including the last '/'
  std::string path_fichero1;   // directory of the alignment processed last
  std::string name_pathsfile;  // name part of the paths file

  // Counts of the alignment loaded last; they outlive its data (the menus' ranges use them).
  std::int32_t numseq = 0;
  std::int32_t nupo = 0;
};

// How the reports and menus name a sequence type ("Protein", "DNA", "Codons"; empty for '-')
// and a gap policy b5 ("None", "With Half", "All").
std::string_view type_name(char seq_type);
std::string_view gap_policy_name(std::int32_t tog_gaps);

// Start-up defaults: a default-constructed RunState already holds them; this restores them.
void apply_startup_defaults(RunState& st);

// b1 and b2 derived from a number of sequences: initnegval = negval = numseq / 2 + 1,
// flankval = numseq * 85 / 100, raised to 2 when that gives exactly 1.
void apply_sequence_count_defaults(RunState& st, std::int32_t numseq);

}  // namespace selvane
