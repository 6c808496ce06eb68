// A run over a paths file: the plan (the list read, the outputs guarded, the join planned), one
// job per listed alignment, then the joins.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/concat.h"
#include "batch/join.h"
#include "batch/occupancy.h"
#include "batch/partitions.h"
#include "batch/taxon_occupancy.h"
#include "core/diagnostics.h"
#include "core/fatal.h"
#include "core/output_file.h"
#include "core/path_split.h"
#include "driver/alignment_run.h"
#include "driver/output_plan.h"
#include "input/detect.h"
#include "input/problems.h"
#include "input/readers.h"
#include "input/type_hint.h"
#include "output/naming.h"
#include "output/overview.h"
#include "selection/sites.h"

namespace selvane {

namespace {

// What a batch reads and writes and how it joins its alignments, settled before it writes
// anything.
struct BatchPlan {
  BatchList list;
  RunPlan files;  // checked by guard_outputs: nothing written lands on what the batch reads
  bool concatenating = false;
  TaxonRule rule;                // how the concatenations read a taxon from a name
  std::optional<JoinPlan> join;  // joined by name (--by-name)
  JoinSelection selection;       // joined by name: what the concatenations hold

  // Whether the alignment listed at `index` goes into the concatenations.
  bool concatenated(std::size_t index) const { return !join || selection.alignments[index]; }
};

// --strict: every listed alignment can be opened and begins as an alignment does, before the
// batch writes anything (a batch that would stop at its fourth file stops at once). FASTA read
// as protein because no -t was given: a later alignment whose first block is nucleotides stops
// it too (the first one is told when it is loaded), as it would be scored and partitioned as
// protein.
void check_listed_files(const Request& request, const BatchList& list, Writer& out) {
  const bool fasta_as_protein = fasta_read_as_protein(request);
  for (std::size_t index = 0; index < list.paths.size(); ++index) {
    const ListedPath& entry = list.paths[index];
    for_listed(entry, list.paths_file, [&] {
      BlockReader in = open_or_stop(entry.path, "input");
      checkformat(in.first_nonblank_line(), entry.path, in.line_ends());
      if (fasta_as_protein && index > 0) {
        hint_nucleotides(request, entry.path, fasta_nucleotide_letter_percent(in.buffered()), out);
      }
    });
  }
}

// Joined by name: the taxa the rule shares, and what the occupancy filters leave out, said on
// standard error (and a stop under --strict, or when nothing is left) before anything is written.
void plan_selection(const Request& request, BatchPlan& plan, Writer& out) {
  const JoinSwitches& join = request.outputs.join;
  if (const std::optional<std::string> line = unshared_taxa_line(plan.list, *plan.join)) {
    diagnose(out, *line);
    if (request.outputs.strict) {
      strict_stop(request.filename, "the taxon rule shares almost no taxa between the alignments");
    }
  }
  plan.selection = select_for_join(*plan.join, join.min_taxa, join.min_genes);
  for (const std::string& line : left_out_lines(plan.list, *plan.join, plan.selection, join)) {
    diagnose(out, line);
  }
  if (std::find(plan.selection.alignments.begin(), plan.selection.alignments.end(), true) ==
      plan.selection.alignments.end()) {
    fatal_raw("", request.filename +
                      ": --min-taxa and --min-genes leave no alignment to "
                      "concatenate; no file was written");
  }
}

BatchPlan plan_batch(const Request& request, Writer& out) {
  BatchPlan plan;
  // The whole list is read first: what the batch will write is checked against everything it
  // reads before the first file is written. A list that can be read only once was kept when it
  // was opened.
  plan.list = {
      request.filename,
      request.read_once ? request.read_once->listed : read_paths(request.filename, request.numal),
      request.fileformat, request.long_names};
  std::vector<std::string> listed;
  listed.reserve(plan.list.paths.size());
  for (const ListedPath& entry : plan.list.paths) listed.push_back(entry.path);
  if (request.outputs.strict) check_listed_files(request, plan.list, out);
  plan.files = plan_run(request, listed);
  guard_outputs(plan.files, request.outputs);

  const JoinSwitches& join = request.outputs.join;
  plan.concatenating = concatenates(request);
  if (plan.concatenating) plan.rule = taxon_rule(join);
  // Joined by name, everything that could stop the batch is checked before the first file.
  if (plan.concatenating && join.by_name) {
    plan.join = plan_join(plan.list, plan.rule, request.user);
    plan_selection(request, plan, out);
    check_output_names(request, request.filename + " (the concatenations)",
                       taxon_names(*plan.join, plan.selection), "taxon", out);
  }
  return plan;
}

// The job of the alignment `aln`, listed at `index`, with the results of those before it and
// the names of the first (kept when they are joined by position): its b1 and b2 as the rules
// give them, once it is checked against the plan (joined by name) or the first alignment (b1 and
// b2 fixed). Concatenations joined by position warn of rows whose taxa differ from the first
// alignment's.
Job make_job(const Request& request, const BatchPlan& plan, std::size_t index, const Alignment& aln,
             const std::vector<AlignmentResults>& before,
             const std::vector<std::string>& first_names, Writer& out) {
  const std::string& path = plan.list.paths[index].path;
  if (plan.join) {
    if (index >= plan.join->alignments() || plan.join->rows(index) != aln.numseq) {
      fatal("\nAlignment changed during the run",
            path + ": its sequences are not those read before the batch started");
    }
  } else if (!before.empty()) {
    const AlignmentResults& first = before.front();
    if (request.tog_sub && aln.numseq != first.numseq) {
      fatal("\nAlignments with different number of sequences",
            path + " has " + std::to_string(aln.numseq) + " sequences, but the first alignment, " +
                first.job.fichero1 + ", has " + std::to_string(first.numseq) +
                "; with b1 or b2 given, or a concatenation, all must have as many");
    }
    if (plan.concatenating) {
      const auto warning =
          position_join_warning(first.job.fichero1, first_names, path, aln.name, plan.rule);
      if (warning) diagnose(out, *warning);
    }
  }
  return {path, plan.list.paths[index].line, static_cast<std::int32_t>(index),
          block_params(request, plan.join.has_value(), aln.numseq)};
}

// Joined by taxon (for --summary): the taxa of the alignment `aln`, listed at `index`, that hold
// a residue in it and that the concatenations keep.
std::int32_t taxa_present(const BatchPlan& plan, std::size_t index, const Alignment& aln,
                          SeqType type) {
  if (!plan.concatenated(index)) return 0;
  const Span all[] = {{1, aln.nupo}};
  const std::vector<bool> holds = rows_with_residues(aln, type, all);
  std::int32_t taxa = 0;
  for (std::int32_t s = 1; s <= aln.numseq; ++s) {
    const auto taxon = static_cast<std::size_t>(plan.join->taxon_of(index, s));
    taxa += holds[static_cast<std::size_t>(s)] && plan.selection.taxa[taxon] ? 1 : 0;
  }
  return taxa;
}

// The concatenations a batch asked for, gathered alignment by alignment while it runs: the
// alignments are not kept, so each concatenation keeps its own pieces of them.
struct Concatenations {
  explicit Concatenations(const Request& request) {
    if (!request.tog_sub) return;
    const OutputSwitches& o = request.outputs;
    if (o.tog_allfile) blocks.emplace("letall");
    if (o.tog_allfile && o.svg_overview) overview.emplace();
    if (o.tog_allfile_init) inputs.emplace("letall_init");
    if (o.tog_allungfile) ungapped.emplace("newletall");
  }

  // Takes its part of the alignment `aln` that `p` was processed from, and its names: joined by
  // position, the files carry the last alignment's names.
  void append(Alignment&& aln, const ProcessedAlignment& p) {
    const AlignmentResults& r = p.results;
    if (blocks) blocks->append_blocks(aln, r.blocks);
    if (overview) overview->append(r.job.fichero1, aln, r.job.params, p.cls, r.blocks, p.gaps);
    if (ungapped) ungapped->append_rows(p.newlet);
    if (inputs) inputs->append_alignment(aln);
    last_names = std::move(aln.name);
  }

  std::optional<Concatenation> blocks;     // -a
  std::optional<Concatenation> inputs;     // -c
  std::optional<Concatenation> ungapped;   // -w
  std::optional<BlocksOverview> overview;  // -a with --svg
  std::vector<std::string> last_names;
};

// The sequences of a file joined by name: their names (entry 0 unused) and rows.
struct JoinedFile {
  std::vector<std::string> names;
  RowIndex rows;
};

// Joined by name, a taxon that holds no residue in the concatenation `c` is left out of its file
// (`shown`, as written), and named: a tree builder would place a row of gaps anywhere. Returns
// the names and rows without them; nullopt when every taxon holds a residue (or the
// concatenation has no position to hold one).
std::optional<JoinedFile> without_empty_taxa(const Concatenation& c,
                                             const std::vector<std::string>& names,
                                             const RowIndex& rows, SeqType type,
                                             const std::string& shown, Writer& out) {
  if (c.length() == 0) return std::nullopt;
  const std::vector<bool> holds = sequences_with_residues(c, rows, type);
  if (std::find(holds.begin() + 1, holds.end(), false) == holds.end()) return std::nullopt;
  for (std::size_t n = 1; n < holds.size(); ++n) {
    if (!holds[n]) {
      diagnose(out, shown + ": taxon " + in_quotes(names[n]) +
                        " left out: it holds no residue in this concatenation");
    }
  }
  JoinedFile kept{names, rows};
  keep_sequences(kept.names, kept.rows, holds);
  return kept;
}

// Writes the concatenations the plan lists, with their partition files and occupancy tables,
// from the results of every alignment of the batch (in order; at least one).
void write_concatenations(const Request& request, const BatchPlan& plan, const Concatenations& all,
                          const std::vector<AlignmentResults>& results, Writer& out) {
  const OutputSwitches& o = request.outputs;
  const EntryFormat format = entry_format(request);
  const SeqType type = request.params.seq_type;
  const std::vector<std::string> names =
      plan.join ? taxon_names(*plan.join, plan.selection) : all.last_names;
  const std::optional<RowIndex> rows_of =
      plan.join ? std::optional(taxon_rows(*plan.join, plan.selection)) : std::nullopt;
  const bool occupancy = o.join.occupancy && rows_of;
  // The file name of every alignment joined, for the partition files and occupancy tables.
  std::vector<std::string> files;
  if (o.join.partitions != PartitionForm::kNone || occupancy) {
    for (const AlignmentResults& r : results) {
      if (plan.concatenated(static_cast<std::size_t>(r.job.index))) {
        files.push_back(getpath(r.job.fichero1).name_file);
      }
    }
  }
  const std::vector<std::string> pieces =
      occupancy ? partition_names(files) : std::vector<std::string>();
  // Joined by taxon, the selected blocks' file as written when it leaves taxa out.
  std::optional<JoinedFile> blocks_kept;
  const auto save = [&](const Concatenation& c, const std::string& path) {
    std::optional<JoinedFile> kept =
        rows_of ? without_empty_taxa(c, names, *rows_of, type, final_output_path(path, o), out)
                : std::nullopt;
    const std::vector<std::string>& file_names = kept ? kept->names : names;
    const RowIndex* file_rows = kept ? &kept->rows : rows_of ? &*rows_of : nullptr;
    c.save(path, o, format, file_names, file_rows);
    if (o.join.partitions != PartitionForm::kNone) {
      save_partitions(partitions_name(path), o, c.genes(files), type, o.join.partitions);
    }
    if (occupancy) save_occupancy(occupancy_name(path), o, c, file_names, *file_rows, pieces, type);
    if (all.blocks && &c == &*all.blocks) blocks_kept = std::move(kept);
  };
  for (const auto& [kind, path] : plan.files.concatenations) {
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
      case BatchFile::kBlocksOverview: {
        const std::vector<std::string>& taxa_names = blocks_kept ? blocks_kept->names : names;
        // Joined by taxon, the rows are the file's taxa, with those a gene lacks.
        const std::optional<TaxaOverview> taxa =
            rows_of ? std::optional(taxa_overview(*all.blocks, taxa_names,
                                                  blocks_kept ? blocks_kept->rows : *rows_of, type))
                    : std::nullopt;
        // b1 and b2 of every gene are its own; the other settings are the batch's.
        all.overview->save(path,
                           batch_output_name(plan.files.path_fichero1, plan.files.name_pathsfile,
                                             o.exten, BatchFile::kBlocks),
                           static_cast<std::int32_t>(taxa_names.size()) - 1,
                           results.back().job.params, o, taxa ? &*taxa : nullptr);
        break;
      }
    }
  }
}

}  // namespace

RunResults run_batch(const Request& request, Writer& out, std::optional<Alignment> preloaded) {
  const BatchPlan plan = plan_batch(request, out);
  Concatenations all(request);
  std::vector<std::string> first_names;  // joined by position: the names the others should have
  RunResults results;
  // A paths file shortened since it was counted simply ends the batch early.
  for (std::size_t index = 0; index < plan.list.paths.size(); ++index) {
    const ListedPath& entry = plan.list.paths[index];
    working_on(entry.path, [&] {
      Alignment aln = for_listed(entry, request.filename, [&] {
        // The alignment open_input() read is the first one listed, read a moment ago.
        return in_run_frame(request,
                            (index == 0 && preloaded && entry.path == request.first_path)
                                ? std::move(*preloaded)
                                : load(entry.path, request.fileformat, request.long_names));
      });
      preloaded.reset();
      if (index == 0) hint_sequence_type(request, entry.path, aln, out);
      const Job job = for_listed(entry, request.filename, [&] {
        return make_job(request, plan, index, aln, results.alignments, first_names, out);
      });
      ProcessedAlignment p =
          for_listed(entry, request.filename, [&] { return process(request, job, aln, out); });
      // The log of a batch stopped part-way then lists every alignment whose files are written.
      out.flush();
      if (index == 0 && plan.concatenating && !plan.join) first_names = aln.name;
      if (plan.join && !request.outputs.summary.empty()) {
        p.results.taxa = taxa_present(plan, index, aln, job.params.seq_type);
      }
      if (plan.concatenated(index)) all.append(std::move(aln), p);
      results.alignments.push_back(std::move(p.results));
    });
  }
  if (!results.alignments.empty()) {
    write_concatenations(request, plan, all, results.alignments, out);
  }
  return results;
}

}  // namespace selvane
