// What a run is asked to do, and the job of each alignment it processes.
//
// A run starts from a request made of the run state once, at the moment it starts (the command
// line after its options, 'g' in the menus), and only reads it after that: every step of the
// run sees the same settings, and the menus go on editing the run state between runs. Each
// alignment then gets a job: its path, where it is listed, its place in the run and the block
// parameters it is processed with.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/join.h"
#include "core/run_state.h"
#include "input/detect.h"
#include "output/entry.h"

namespace selvane {

struct Request {
  // b0 to b6 and the type; b1 and b2 as the opening of the input derived them or the user set
  // them (a batch may derive them again per alignment: see block_params).
  BlockParams params;
  OutputSwitches outputs;

  // The input as named, and what its detection found.
  std::string filename;    // empty when it could not be opened (a command line runs anyway)
  std::string typed;       // as typed on the command line (CurrentInput::typed)
  std::string first_path;  // the alignment read first: the input, or the first path it lists
  InputFormat fileformat = InputFormat::kNone;
  bool tog_sb = false;     // a paths file: a batch
  std::int32_t numal = 1;  // alignments the input stands for, counted when it was opened
  bool long_names = false;
  bool type_chosen = false;  // the user chose the type: no hint about it
  // The type was read from the letters of the first alignment (see CurrentInput).
  std::optional<std::int32_t> typed_by_letters;
  // An input that can be read only once: its alignment, or the paths it lists, as read when it
  // was opened (null: the run reads the input).
  std::shared_ptr<const ReadOnceInput> read_once;

  // b1 and b2 across a batch: fixed for all of it (tog_sub) or derived for each alignment, and
  // the values the user set, which a join by name keeps for every alignment.
  bool tog_sub = false;
  UserCounts user;
};

// The request of a run starting now from the run state.
Request make_request(const RunState& st);

// One alignment of a run.
struct Job {
  std::string fichero1;    // its path as given: the input itself, or as the paths file lists it
  std::int64_t line = 0;   // the line of the paths file that lists it; 0 for a single alignment
  std::int32_t index = 0;  // its place in the run, from 0
  BlockParams params;      // the request's, b1 and b2 as block_params gives them
};

// The block parameters of an alignment of `numseq` sequences: the request's for a single
// alignment and for a batch with b1 and b2 fixed; for a batch joined by name (`joined_by_name`)
// its own sequence-count defaults but the values the user set; otherwise its own defaults.
BlockParams block_params(const Request& request, bool joined_by_name, std::int32_t numseq);

// Whether a batch writes concatenated files: only with b1 and b2 fixed for the batch (tog_sub)
// and one of -a, -c, -w on.
bool concatenates(const Request& request);

// Whether a run of the request writes an alignment file: the selected or nonconserved blocks,
// the ungapped alignment, or (a paths file) a concatenation.
bool writes_alignment_files(const Request& request);

// A long switch of the command line that a run of the request would not use, as typed in its
// usual form ("--partitions", "--taxon-sep=@"), and why.
struct IdleSwitch {
  std::string argument;
  std::string reason;
};

// Every long switch the request holds that its run would not use: the joins' switches for a
// single alignment or without a concatenation (or joined by position), an output format or
// folder for a run that writes no such file. In the order --help lists them. (-a, -c and -w
// for a single alignment are the classic options' own business: they stay silent.)
std::vector<IdleSwitch> idle_switches(const Request& request);

// Ends a run under --strict before it writes anything: the input `filename`, and `because`,
// why ("the input could not be opened").
[[noreturn]] void strict_stop(const std::string& filename, const std::string& because);

// The entry format of every alignment file of a run: the input's format (or the one of
// --out-format) and the sequence type.
EntryFormat entry_format(const Request& request);

}  // namespace selvane
