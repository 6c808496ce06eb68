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
// the run's output switches: there, or with --outdir=DIR as DIR/ and the file name of `path`;
// but the file --out names stays as named.
// Everything that needs to know which files a run will create (the creation itself, and checks
// made before anything is written) asks here. Nothing is created: see create_output_file.
std::string final_output_path(const std::string& path, const OutputSwitches& outputs);

// Whether the output `path` is standard output: the selected blocks with --out=-.
bool writes_standard_output(const std::string& path, const OutputSwitches& outputs);

// Creates, or replaces without warning, the output file `path` under the run's output switches;
// for standard output (writes_standard_output), a writer whose write errors are fatal as a
// file's are.
// The file is replaced whole or not at all (core/replacement.h): a file that cannot be created
// is fatal ("\nFile not opened"), and so is a write error, in every mode ("\nFile not written",
// the old file left as it was). With --outdir=DIR, DIR (and the folders above it) is created
// first when it does not exist; a folder that cannot be created is fatal too.
Writer create_output_file(const std::string& path, const OutputSwitches& outputs);

}  // namespace selvane
