// A run over a paths file: every listed alignment in turn, and the concatenations.
#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/concat.h"
#include "core/fatal.h"
#include "driver/alignment_run.h"
#include "input/block_reader.h"
#include "input/detect.h"
#include "input/problems.h"
#include "input/readers.h"
#include "output/naming.h"
#include "output/overview.h"
#include "selection/derived.h"

namespace selvane {

namespace {

// The concatenations a batch asked for, created at its first alignment.
struct Concatenations {
  std::optional<Concatenation> blocks;     // -a
  std::optional<Concatenation> inputs;     // -c
  std::optional<Concatenation> ungapped;   // -w
  std::optional<BlocksOverview> overview;  // -a with --svg
};

void write_concatenations(const RunState& st, const Concatenations& all,
                          const std::vector<std::string>& names, Writer& out) {
  const auto name = [&](BatchFile kind) {
    return batch_output_name(st.input.path_fichero1, st.input.name_pathsfile, st.outputs.exten,
                             kind);
  };
  const EntryFormat format = entry_format(st);
  if (all.blocks) {
    all.blocks->save(name(BatchFile::kBlocks), st.outputs, format, names);
    out.printf("Selvane alignment in batch: %i positions\n\n", all.blocks->length());
  }
  if (all.inputs) all.inputs->save(name(BatchFile::kInputs), st.outputs, format, names);
  if (all.ungapped) all.ungapped->save(name(BatchFile::kUngapped), st.outputs, format, names);
  if (all.overview) {
    all.overview->save(name(BatchFile::kBlocksOverview), name(BatchFile::kBlocks), st.params,
                       st.outputs);
  }
}

// Runs `step` for the alignment listed on line `line` of the paths file; a fatal error in it
// says, on standard error, which listed path it came from.
template <class Step>
decltype(auto) for_listed(const RunState& st, std::int64_t line, Step&& step) {
  try {
    return std::forward<Step>(step)();
  } catch (const FatalError& error) {
    std::string detail = error.detail();
    detail += detail.empty() ? st.input.fichero1 + ": the batch stops here" : std::string();
    detail += " (listed on line " + std::to_string(line) + " of " + st.input.filename + ")";
    throw FatalError(error.text(), std::move(detail));
  }
}

}  // namespace

RunOutcome run_batch(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  std::optional<BlockReader> paths = BlockReader::open(st.input.filename);
  if (!paths) {
    fatal("\nFile not opened", not_opened_detail("paths file", st.input.filename, errno));
  }
  // The alignment open_input() read is the first one listed, read a moment ago.
  const std::string preloaded_path = st.input.fichero1;

  RunOutcome outcome;
  std::int32_t reference_count = 0;
  std::string reference_path;
  Concatenations all;
  std::vector<std::string> last_names;  // the concatenated files carry the last alignment's names
  bool any = false;
  std::string path;
  std::int64_t line = 0;
  // Each pass takes the next listed path; a paths file shortened since it was counted simply
  // ends the batch early.
  for (std::int32_t pass = 1; pass <= st.input.numal && next_path(*paths, path, &line); ++pass) {
    st.input.fichero1 = path;
    Alignment aln = for_listed(st, line, [&] {
      return (pass == 1 && preloaded && path == preloaded_path)
                 ? std::move(*preloaded)
                 : load(st.input.fichero1, st.input.fileformat, st.input.long_names);
    });
    preloaded.reset();
    note_loaded(st, aln);

    if (pass == 1) {
      reference_count = aln.numseq;
      reference_path = path;
      hint_sequence_type(st, aln, out);
      if (st.input.tog_sub) {
        if (st.outputs.tog_allfile) all.blocks.emplace(aln.numseq, "letall");
        if (st.outputs.tog_allfile && st.outputs.svg_overview) all.overview.emplace(aln.numseq);
        if (st.outputs.tog_allfile_init) all.inputs.emplace(aln.numseq, "letall_init");
        if (st.outputs.tog_allungfile) all.ungapped.emplace(aln.numseq, "newletall");
      }
    }
    if (!st.input.tog_sub) apply_sequence_count_defaults(st.params, aln.numseq);
    if (st.input.tog_sub && aln.numseq != reference_count) {
      for_listed(st, line, [&] {
        fatal("\nAlignments with different number of sequences",
              path + " has " + std::to_string(aln.numseq) +
                  " sequences, but the first alignment, " + reference_path + ", has " +
                  std::to_string(reference_count) +
                  "; with b1 or b2 given, or a concatenation, all must have as many");
      });
    }

    const AlignmentResults r = for_listed(st, line, [&] { return process(st, aln, out); });
    outcome.selected += r.blocks.nupo3;
    ++outcome.alignments;

    if (all.blocks) all.blocks->append_blocks(aln, r.blocks);
    if (all.overview) all.overview->append(path, aln, st.params, r.cls, r.blocks, r.gaps);
    if (all.ungapped) all.ungapped->append_rows(r.newlet);
    if (all.inputs) all.inputs->append_alignment(aln);
    last_names = std::move(aln.name);
    any = true;
  }
  paths.reset();
  if (any) write_concatenations(st, all, last_names, out);
  return outcome;
}

}  // namespace selvane
