#include "driver/run.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "core/path_split.h"
#include "driver/alignment_run.h"
#include "driver/output_plan.h"
#include "input/detect.h"
#include "input/problems.h"
#include "input/readers.h"
#include "input/type_hint.h"
#include "output/alignment_file.h"
#include "output/naming.h"
#include "output/overview.h"
#include "output/writers.h"
#include "selection/blocks.h"
#include "selection/classify.h"
#include "selection/derived.h"

namespace selvane {

namespace {

bool wants_ungapped(const RunState& st) {
  return st.outputs.tog_ungappedfile ||
         (st.input.tog_sb && st.input.tog_sub && st.outputs.tog_allungfile);
}

bool wants_selection_line(const OutputSwitches& outputs) {
  return outputs.tog_viewfile == ResultsForm::kHtml || outputs.tog_viewfile == ResultsForm::kText ||
         outputs.tog_maskfile;
}

void printpos(const Alignment& aln, const AlignmentResults& r, Writer& out) {
  out.printf("Original alignment: %i positions\n", aln.nupo);
  if (r.ungapped_built) out.printf("Ungapped alignment: %i positions\n", r.newlet.width());
  out.printf("Selvane alignment:  %i positions (%i %%) in %i selected block(s)\n", r.blocks.nupo3,
             r.blocks.nupo3per, r.blocks.newtopos / 2);
  out.put('\n');
}

// Why a run may have selected nothing, and what to try.
std::string no_selection_hint(const BlockParams& params, const Alignment& aln,
                              const Classification& cls) {
  const auto excluded = std::count(cls.val.begin() + 1, cls.val.end(), 0.0F);
  if (params.tog_gaps == GapPolicy::kNone && excluded > 0) {
    return std::to_string(excluded) + " of " + std::to_string(aln.nupo) +
           " positions are excluded, and with the gap policy None (b5) every column with a gap "
           "is: try -b5=h (gaps in up to half the sequences) or -b5=a";
  }
  if (aln.nupo < std::max(params.posblen, params.posblen2)) {
    return "the alignment is shorter than the minimum block length (-b4 and -b0, now " +
           std::to_string(params.posblen2) + " and " + std::to_string(params.posblen) + ")";
  }
  return "try a smaller minimum block length (-b4, now " + std::to_string(params.posblen2) +
         "), more contiguous nonconserved positions (-b3, now " + std::to_string(params.negblen) +
         ") or smaller -b1 and -b2";
}

void write_files(const RunState& st, const Alignment& aln, const AlignmentResults& r) {
  const OutputSwitches& outputs = st.outputs;
  const BlockParams& params = st.params;
  const std::string& fichero1 = st.input.fichero1;
  const EntryFormat format = entry_format(st);
  // The same list the check before the run went through, so what is written is what was checked.
  for (const auto& [kind, name] : alignment_outputs(fichero1, outputs)) {
    switch (kind) {
      case OutputFile::kSelectedBlocks:
        saveseq(name, outputs, format, aln, r.blocks);
        break;
      case OutputFile::kResultsHtml:
      case OutputFile::kResultsText:
      case OutputFile::kResultsShort:
        saveviewfile(name, params, outputs, fichero1, aln, r.cls, r.blocks, r.letselvane);
        break;
      case OutputFile::kMask:
        savemask(name, params, outputs, aln, r.cls, r.letselvane);
        break;
      case OutputFile::kPostScript:
        saveps(name, params, outputs, fichero1, aln.nupo, r.blocks);
        break;
      case OutputFile::kNonconserved:
        savencb(name, outputs, format, aln, r.blocks);
        break;
      case OutputFile::kUngapped:
        save_ung(name, outputs, format, aln, r.newlet);
        break;
      case OutputFile::kOverview:
        saveoverview(name, params, outputs, fichero1, aln, r.cls, r.blocks, r.gaps);
        break;
    }
  }
}

}  // namespace

void check_phylip_output(const std::string& label, std::span<const std::string> names,
                         std::string_view noun, Writer& out) {
  const PhylipNames found = check_phylip_names(names);
  if (found.clash_first != 0) {
    const auto name = [&](std::int32_t n) {
      // Whole: names that clash may differ only near their end.
      return std::string(noun) + " " + std::to_string(n) + " (\"" +
             names[static_cast<std::size_t>(n)] + "\")";
    };
    fatal_raw("", label + ": " + name(found.clash_first) + " and " + name(found.clash_second) +
                      " have the same PHYLIP name \"" +
                      phylip_name(names[static_cast<std::size_t>(found.clash_first)]) +
                      "\"; rename one of them or choose another --out-format");
  }
  if (found.renamed > 0) {
    diagnose(out, label + ": " + std::to_string(found.renamed) +
                      (found.renamed == 1 ? " name holds" : " names hold") +
                      " blanks; the PHYLIP files write each blank as '_'");
  }
}

AlignmentResults process(const RunState& st, const Alignment& aln, Writer& out) {
  out.write(st.input.fichero1);
  out.put('\n');
  AlignmentResults r;
  r.cls = assignval(aln, st.params, st.outputs.svg_overview);
  r.blocks = getpos(r.cls, aln, st.params);
  if (wants_ungapped(st)) {
    r.newlet = ungap(aln);
    r.ungapped_built = true;
  }
  if (wants_selection_line(st.outputs)) r.letselvane = makeletselvane(r.blocks, aln.nupo);
  if (st.outputs.svg_overview) r.gaps = allocating("overview", [&] { return count_gaps(aln); });
  printpos(aln, r, out);
  if (r.blocks.nupo3 == 0) {
    diagnose(out, st.input.fichero1 + ": no position selected; " +
                      no_selection_hint(st.params, aln, r.cls));
  }
  const OutputSwitches& o = st.outputs;
  const bool alignment_files =
      o.tog_seqfile || o.tog_ncbfile || o.tog_ungappedfile || (st.input.tog_sb && concatenates(st));
  if (o.out_format == OutputFormat::kPhylip && alignment_files) {
    check_phylip_output(st.input.fichero1, aln.name, "sequence", out);
  }
  write_files(st, aln, r);
  return r;
}

bool concatenates(const RunState& st) {
  const OutputSwitches& o = st.outputs;
  return st.input.tog_sub && (o.tog_allfile || o.tog_allfile_init || o.tog_allungfile);
}

EntryFormat entry_format(const RunState& st) {
  const SeqType type = st.params.seq_type;
  switch (st.outputs.out_format) {
    case OutputFormat::kFasta:
      return {AlignmentFormat::kFasta, type};
    case OutputFormat::kPir:
      return {AlignmentFormat::kPir, type};
    case OutputFormat::kPhylip:
      return {AlignmentFormat::kPhylip, type};
    case OutputFormat::kSameAsInput:
      break;
  }
  return {st.input.fileformat, type};
}

void hint_sequence_type(const RunState& st, const Alignment& aln, Writer& out) {
  if (st.input.fileformat != InputFormat::kFasta || st.params.seq_type != SeqType::kProtein ||
      st.input.type_chosen) {
    return;
  }
  const std::int32_t percent = nucleotide_letter_percent(aln);
  if (percent < kNucleotideHintPercent) return;
  diagnose(out, st.input.fichero1 + ": read as protein, but " + std::to_string(percent) +
                    " % of its letters are A, C, G, T, U or N; if it is DNA or codons, give -t=D "
                    "or -t=C (t in the main menu)");
}

void note_loaded(RunState& st, const Alignment& aln) {
  st.input.numseq = aln.numseq;
  st.input.nupo = aln.nupo;
  PathParts parts = getpath(st.input.fichero1);
  st.input.name_file = std::move(parts.name_file);
  st.input.path_file = std::move(parts.path_file);
  st.input.path_fichero1 = st.input.path_file;
}

void apply_detection(RunState& st, const Detection& found, Writer& out) {
  if (!found.opened) {
    out.write("\n* File not opened *\n");
    std::string detail =
        not_opened_detail("input", st.input.filename, found.error, found.not_regular);
    if (st.input.filename.starts_with('-')) {
      detail += " (the first argument is always the input; options come after it)";
    }
    diagnose(out, detail);
    st.input.filename.clear();
    return;
  }
  st.input.type_chosen = false;
  st.input.fichero1 = found.first_path;
  st.input.tog_sb = found.paths_file;
  st.input.numal = found.count;
  st.input.fileformat = found.format.format;
  st.params.seq_type = found.format.type;
  // b1 and b2 are derived afresh from the new input.
  st.input.negval_set = false;
  st.input.flankval_set = false;
  st.input.flankval_lowest = false;
  st.input.refused_negval.reset();
  st.input.refused_flankval.reset();
  if (!found.paths_file) return;
  // A new batch starts with b1 and b2 following each alignment, with no concatenation, and
  // with the menus' one-time warning due again.
  st.input.tog_sub = false;
  st.session.warn = true;
  st.outputs.tog_allfile = false;
  st.outputs.tog_allfile_init = false;
  st.outputs.tog_allungfile = false;
  PathParts parts = getpath(st.input.filename);
  st.input.path_file = std::move(parts.path_file);
  st.input.name_file = std::move(parts.name_file);
  st.input.name_pathsfile = st.input.name_file;
}

std::optional<Alignment> open_input(RunState& st, Writer& out) {
  Detection found = checkfiletype(st.input.filename);
  apply_detection(st, found, out);
  if (st.input.filename.empty()) return std::nullopt;
  // Read on from the bytes detection looked at: the input is opened once.
  Alignment aln = load(std::move(*found.first_alignment), st.input.fileformat, st.input.long_names);
  st.input.numseq = aln.numseq;
  st.input.nupo = aln.nupo;
  out.printf("\n%i sequences and %i positions in the first alignment file:\n", aln.numseq,
             aln.nupo);
  out.write(st.input.fichero1);
  out.write("\n\n");
  apply_sequence_count_defaults(st.params, aln.numseq);
  return aln;
}

RunOutcome calculate(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  if (st.input.tog_sb) return run_batch(st, out, std::move(preloaded));
  // A menu runs only with an input open; the command line runs even when none could be opened,
  // and then ends in the reader, before anything could be written.
  if (!st.input.filename.empty()) {
    guard_outputs(plan_run(st, {st.input.fichero1}), st.outputs);
  }
  RunOutcome outcome;
  for (std::int32_t pass = 1; pass <= st.input.numal; ++pass) {
    // The alignment open_input() has just read is the file's current content; reading it
    // again would only double the time of a command-line run.
    Alignment aln = preloaded ? std::move(*preloaded)
                              : load(st.input.fichero1, st.input.fileformat, st.input.long_names);
    preloaded.reset();
    note_loaded(st, aln);
    if (pass == 1) hint_sequence_type(st, aln, out);
    outcome.selected += process(st, aln, out).blocks.nupo3;
    ++outcome.alignments;
  }
  return outcome;
}

}  // namespace selvane
