// Every file a run reads and writes, known before it writes the first one, and the check that
// no output lands on a file the run reads or on another output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "driver/request.h"
#include "output/naming.h"

namespace selvane {

struct PlannedOutput {
  std::string path;  // as the naming rules give it; where it lands is final_output_path()'s
  // The alignment (index into RunPlan::alignments) it belongs to, or -1 for a concatenation.
  std::int32_t source = -1;
  int kind = 0;           // which file of its alignment or of the batch; equal names, equal files
  bool as_typed = false;  // written where `path` says, whatever --outdir says (--summary)
};

struct RunPlan {
  std::string paths_file;               // the paths file of a batch; empty for one alignment
  std::vector<std::string> alignments;  // every alignment the run reads, as listed
  // A batch's concatenated files: in the folder of the last alignment listed (path_fichero1),
  // named after the paths file (name_pathsfile); in the order they are written. Their partition
  // files are not listed here, but are in `outputs`.
  std::string path_fichero1;
  std::string name_pathsfile;
  std::vector<std::pair<BatchFile, std::string>> concatenations;
  std::vector<PlannedOutput> outputs;  // every file it writes, in the order it writes them
};

// The plan of a run of `request` over `alignments` (the single alignment, or the paths the
// paths file lists). A new kind of output is one more entry here.
RunPlan plan_run(const Request& request, const std::vector<std::string>& alignments);

// Ends the run before anything is written when an output would replace a file the run reads (an
// alignment or the paths file) or another output of the run. Files are told apart by identity
// (core/file_identity.h), not by name. Two entries of a paths file that name the same alignment
// write the same files with the same content: that is no collision. Nor are outputs sent to a
// device or a named pipe (two outputs linked to /dev/null): such files are written into, not
// replaced, and are never read as inputs.
void guard_outputs(const RunPlan& plan, const OutputSwitches& outputs);

}  // namespace selvane
