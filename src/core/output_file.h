// The one place where the program creates an output file.
//
// Every file a run writes (the per-alignment files and the concatenations of a batch) is
// created here, so what concerns all of them at once (how a file is replaced, where it goes,
// what counts as a complete write) is decided in this one function.
#pragma once

#include <string>

#include "core/run_state.h"
#include "core/writer.h"

namespace selvane {

// Where the output named `path` (beside its input, as the naming rules give it) is written under
// the run's output switches: there, or with --outdir=DIR as DIR/ and the file name of `path`. DIR
// (and the folders above it) is created when it does not exist yet; a folder that cannot be
// created is fatal ("\nFile not opened"). Everything that needs to know which files a run will
// create (the creation itself, and checks made before anything is written) asks here.
std::string final_output_path(const std::string& path, const OutputSwitches& outputs);

// Creates, or replaces without warning, the output file `path` under the run's output switches.
// A file that cannot be created is fatal ("\nFile not opened"). Write errors after that are
// ignored, except with --posix-exit, where the writer's close() makes them fatal
// ("\nFile not written").
Writer create_output_file(const std::string& path, const OutputSwitches& outputs);

}  // namespace selvane
