// A run over a paths file: every listed alignment in turn, and the concatenations.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/concat.h"
#include "core/fatal.h"
#include "driver/alignment_run.h"
#include "driver/output_plan.h"
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
  const EntryFormat format = entry_format(st);
  for (const auto& [kind, name] : batch_outputs(st.input.path_fichero1, st.input.name_pathsfile,
                                                st.outputs, st.input.tog_sub)) {
    switch (kind) {
      case BatchFile::kBlocks:
        all.blocks->save(name, st.outputs, format, names);
        out.printf("Selvane alignment in batch: %i positions\n\n", all.blocks->length());
        break;
      case BatchFile::kInputs:
        all.inputs->save(name, st.outputs, format, names);
        break;
      case BatchFile::kUngapped:
        all.ungapped->save(name, st.outputs, format, names);
        break;
    }
  }
}

}  // namespace

void run_batch(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  // The whole list is read first: what the batch will write is checked against everything it
  // reads before the first file is written.
  const std::vector<std::string> list = read_paths(st.input.filename, st.input.numal);
  guard_outputs(plan_run(st, list), st.outputs);
  // The alignment open_input() read is the first one listed, read a moment ago.
  const std::string preloaded_path = st.input.fichero1;

  std::int32_t reference_count = 0;
  Concatenations all;
  std::vector<std::string> last_names;  // the concatenated files carry the last alignment's names
  // A paths file shortened since it was counted simply ends the batch early.
  for (std::size_t index = 0; index < list.size(); ++index) {
    const bool first = index == 0;
    st.input.fichero1 = list[index];
    Alignment aln = (first && preloaded && list[index] == preloaded_path)
                        ? std::move(*preloaded)
                        : load(st.input.fichero1, st.input.fileformat);
    preloaded.reset();
    note_loaded(st, aln);

    if (first) {
      reference_count = aln.numseq;
      if (st.input.tog_sub) {
        if (st.outputs.tog_allfile) all.blocks.emplace(aln.numseq, "letall");
        if (st.outputs.tog_allfile_init) all.inputs.emplace(aln.numseq, "letall_init");
        if (st.outputs.tog_allungfile) all.ungapped.emplace(aln.numseq, "newletall");
      }
    }
    if (!st.input.tog_sub) apply_sequence_count_defaults(st.params, aln.numseq);
    if (st.input.tog_sub && aln.numseq != reference_count) {
      fatal("\nAlignments with different number of sequences");
    }

    const AlignmentResults r = process(st, aln, out);

    if (all.blocks) all.blocks->append_blocks(aln, r.blocks);
    if (all.ungapped) all.ungapped->append_rows(r.newlet);
    if (all.inputs) all.inputs->append_alignment(aln);
    last_names = std::move(aln.name);
    // The log of a batch stopped part-way then lists every alignment whose files are written.
    out.flush();
  }
  if (!list.empty()) write_concatenations(st, all, last_names, out);
}

}  // namespace selvane
