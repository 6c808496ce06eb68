// A run over a paths file: every listed alignment in turn, and the concatenations.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/concat.h"
#include "core/fatal.h"
#include "driver/alignment_run.h"
#include "input/block_reader.h"
#include "input/detect.h"
#include "input/readers.h"
#include "output/naming.h"
#include "selection/derived.h"

namespace selvane {

namespace {

// The concatenations a batch asked for, created at its first alignment.
struct Concatenations {
  std::optional<Concatenation> blocks;    // -a
  std::optional<Concatenation> inputs;    // -c
  std::optional<Concatenation> ungapped;  // -w
};

void write_concatenations(const RunState& st, const Concatenations& all,
                          const std::vector<std::string>& names, Writer& out) {
  const auto name = [&](BatchFile kind) {
    return batch_output_name(st.path_fichero1, st.name_pathsfile, st.exten, kind);
  };
  if (all.blocks) {
    all.blocks->save(name(BatchFile::kBlocks), st, names);
    out.printf("Selvane alignment in batch: %i positions\n\n", all.blocks->length());
  }
  if (all.inputs) all.inputs->save(name(BatchFile::kInputs), st, names);
  if (all.ungapped) all.ungapped->save(name(BatchFile::kUngapped), st, names);
}

}  // namespace

void run_batch(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  std::optional<BlockReader> paths = BlockReader::open(st.filename);
  if (!paths) fatal("\nFile not opened");
  // The alignment open_input() read is the first one listed, read a moment ago.
  const std::string preloaded_path = st.fichero1;

  std::int32_t reference_count = 0;
  Concatenations all;
  std::vector<std::string> last_names;  // the concatenated files carry the last alignment's names
  bool any = false;
  std::string path;
  // Each pass takes the next listed path; a paths file shortened since it was counted simply
  // ends the batch early.
  for (std::int32_t pass = 1; pass <= st.numal && next_path(*paths, path); ++pass) {
    st.fichero1 = path;
    Alignment aln = (pass == 1 && preloaded && path == preloaded_path)
                        ? std::move(*preloaded)
                        : load(st.fichero1, st.fileformat);
    preloaded.reset();
    note_loaded(st, aln);

    if (pass == 1) {
      reference_count = aln.numseq;
      if (st.tog_sub == 1) {
        if (st.tog_allfile == 1) all.blocks.emplace(aln.numseq, "letall");
        if (st.tog_allfile_init == 1) all.inputs.emplace(aln.numseq, "letall_init");
        if (st.tog_allungfile == 1) all.ungapped.emplace(aln.numseq, "newletall");
      }
    }
    if (st.tog_sub == 0) apply_sequence_count_defaults(st, aln.numseq);
    if (st.tog_sub == 1 && aln.numseq != reference_count) {
      fatal("\nAlignments with different number of sequences");
    }

    const AlignmentResults r = process(st, aln, out);

    if (all.blocks) all.blocks->append_blocks(aln, r.blocks);
    if (all.ungapped) all.ungapped->append_rows(r.newlet);
    if (all.inputs) all.inputs->append_alignment(aln);
    last_names = std::move(aln.name);
    any = true;
  }
  paths.reset();
  if (any) write_concatenations(st, all, last_names, out);
}

}  // namespace selvane
