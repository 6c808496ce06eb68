// A run over a paths file: every listed alignment in turn, and the concatenations.
#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/concat.h"
#include "batch/join.h"
#include "batch/partitions.h"
#include "core/diagnostics.h"
#include "core/fatal.h"
#include "driver/alignment_run.h"
#include "driver/output_plan.h"
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
  std::vector<std::string> files;          // with --partitions: the file name of every alignment
};

// Which sequences the concatenated files hold: the last alignment's rows by position, or the
// taxa of a join by name.
struct Sequences {
  std::vector<std::string> names;
  std::optional<RowIndex> rows_of;
};

void write_concatenations(const RunState& st, const Concatenations& all, const Sequences& seqs,
                          Writer& out) {
  const EntryFormat format = entry_format(st);
  const auto save = [&](const Concatenation& c, const std::string& path) {
    c.save(path, st.outputs, format, seqs.names, seqs.rows_of ? &*seqs.rows_of : nullptr);
    if (st.outputs.join.partitions) {
      save_partitions(partitions_name(path), st.outputs, c.genes(all.files), st.params.seq_type);
    }
  };
  // The same list the check before the batch went through, so what is written is what was
  // checked.
  for (const auto& [kind, path] : batch_outputs(st.input.path_fichero1, st.input.name_pathsfile,
                                                st.outputs, st.input.tog_sub)) {
    switch (kind) {
      case BatchFile::kBlocks:
        save(*all.blocks, path);
        out.printf("Selvane alignment in batch: %i positions\n\n", all.blocks->length());
        break;
      case BatchFile::kInputs:
        save(*all.inputs, path);
        break;
      case BatchFile::kUngapped:
        save(*all.ungapped, path);
        break;
      case BatchFile::kBlocksOverview:
        all.overview->save(path,
                           batch_output_name(st.input.path_fichero1, st.input.name_pathsfile,
                                             st.outputs.exten, BatchFile::kBlocks),
                           static_cast<std::int32_t>(seqs.names.size()) - 1, st.params, st.outputs);
        break;
    }
  }
}

}  // namespace

RunOutcome run_batch(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  // The whole list is read first: what the batch will write is checked against everything it
  // reads before the first file is written.
  const std::vector<ListedPath> list = read_paths(st.input.filename, st.input.numal);
  std::vector<std::string> listed;
  listed.reserve(list.size());
  for (const ListedPath& entry : list) listed.push_back(entry.path);
  guard_outputs(plan_run(st, listed), st.outputs);
  // The alignment open_input() read is the first one listed, read a moment ago.
  const std::string preloaded_path = st.input.fichero1;

  RunOutcome outcome;
  const OutputSwitches& o = st.outputs;
  const bool concatenating = concatenates(st);
  const TaxonRule rule = concatenating ? taxon_rule(o.join) : TaxonRule();
  // Joined by name, everything that could stop the batch is checked before the first file.
  const UserCounts user = user_counts(st.params, st.input);
  std::optional<JoinPlan> plan;
  if (concatenating && o.join.by_name) {
    plan = plan_join(st.input, list, rule, user);
    if (o.out_format == OutputFormat::kPhylip) {
      check_phylip_output(st.input.filename + " (the concatenations)", taxon_names(*plan), "taxon",
                          out);
    }
  }

  std::int32_t reference_count = 0;
  std::string reference_path;
  Concatenations all;
  Sequences seqs;  // by position: the concatenated files carry the last alignment's names
  std::vector<std::string> first_names;  // by position: the names the others should have
  // A paths file shortened since it was counted simply ends the batch early.
  for (std::size_t index = 0; index < list.size(); ++index) {
    const auto pass = static_cast<std::int32_t>(index + 1);
    const ListedPath& entry = list[index];
    const std::string& path = entry.path;
    st.input.fichero1 = path;
    Alignment aln = for_listed(entry, st.input.filename, [&] {
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
        if (o.tog_allfile) all.blocks.emplace("letall");
        if (o.tog_allfile && o.svg_overview) all.overview.emplace();
        if (o.tog_allfile_init) all.inputs.emplace("letall_init");
        if (o.tog_allungfile) all.ungapped.emplace("newletall");
      }
    }
    if (plan) {
      const auto a = static_cast<std::size_t>(pass - 1);
      if (a >= plan->alignments() || plan->rows(a) != aln.numseq) {
        for_listed(entry, st.input.filename, [&] {
          fatal("\nAlignment changed during the run",
                path + ": its sequences are not those read before the batch started");
        });
      }
      apply_join_counts(st.params, aln.numseq, user);
    } else {
      if (!st.input.tog_sub) apply_sequence_count_defaults(st.params, aln.numseq);
      if (st.input.tog_sub && aln.numseq != reference_count) {
        for_listed(entry, st.input.filename, [&] {
          fatal("\nAlignments with different number of sequences",
                path + " has " + std::to_string(aln.numseq) +
                    " sequences, but the first alignment, " + reference_path + ", has " +
                    std::to_string(reference_count) +
                    "; with b1 or b2 given, or a concatenation, all must have as many");
        });
      }
      if (concatenating && pass == 1) {
        first_names = aln.name;
      } else if (concatenating) {
        const auto warning =
            position_join_warning(reference_path, first_names, path, aln.name, rule);
        if (warning) diagnose(out, *warning);
      }
    }

    const AlignmentResults r =
        for_listed(entry, st.input.filename, [&] { return process(st, aln, out); });
    // The log of a batch stopped part-way then lists every alignment whose files are written.
    out.flush();
    outcome.selected += r.blocks.nupo3;
    ++outcome.alignments;

    if (all.blocks) all.blocks->append_blocks(aln, r.blocks);
    if (all.overview) all.overview->append(path, aln, st.params, r.cls, r.blocks, r.gaps);
    if (all.ungapped) all.ungapped->append_rows(r.newlet);
    if (all.inputs) all.inputs->append_alignment(aln);
    if (concatenating && o.join.partitions) all.files.push_back(st.input.name_file);
    if (!plan) seqs.names = std::move(aln.name);
  }
  if (plan) {
    seqs.names = taxon_names(*plan);
    seqs.rows_of = taxon_rows(*plan);
  }
  if (!list.empty()) write_concatenations(st, all, seqs, out);
  return outcome;
}

}  // namespace selvane
