#include "driver/run.h"

#include <string>
#include <utility>

#include "core/path_split.h"
#include "driver/alignment_run.h"
#include "input/detect.h"
#include "input/readers.h"
#include "output/naming.h"
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

OutputFile results_file(ResultsForm form) {
  switch (form) {
    case ResultsForm::kText:
      return OutputFile::kResultsText;
    case ResultsForm::kShort:
      return OutputFile::kResultsShort;
    case ResultsForm::kNone:
    case ResultsForm::kHtml:
      break;
  }
  return OutputFile::kResultsHtml;
}

void write_files(const RunState& st, const Alignment& aln, const AlignmentResults& r) {
  const OutputSwitches& outputs = st.outputs;
  const BlockParams& params = st.params;
  const std::string& fichero1 = st.input.fichero1;
  const EntryFormat format = entry_format(st);
  const auto name = [&](OutputFile kind) { return output_name(fichero1, outputs.exten, kind); };
  if (outputs.tog_seqfile) {
    saveseq(name(OutputFile::kSelectedBlocks), outputs, format, aln, r.blocks);
  }
  if (outputs.tog_viewfile != ResultsForm::kNone) {
    saveviewfile(name(results_file(outputs.tog_viewfile)), params, outputs, fichero1, aln, r.cls,
                 r.blocks, r.letselvane);
  }
  if (outputs.tog_maskfile) {
    savemask(name(OutputFile::kMask), params, outputs, aln, r.cls, r.letselvane);
  }
  if (outputs.tog_psfile) {
    saveps(name(OutputFile::kPostScript), params, outputs, fichero1, aln.nupo, r.blocks);
  }
  if (outputs.tog_ncbfile) {
    savencb(name(OutputFile::kNonconserved), outputs, format, aln, r.blocks);
  }
  if (outputs.tog_ungappedfile) {
    save_ung(name(OutputFile::kUngapped), outputs, format, aln, r.newlet);
  }
}

}  // namespace

AlignmentResults process(const RunState& st, const Alignment& aln, Writer& out) {
  out.write(st.input.fichero1);
  out.put('\n');
  AlignmentResults r;
  r.cls = assignval(aln, st.params);
  r.blocks = getpos(r.cls, aln, st.params);
  if (wants_ungapped(st)) {
    r.newlet = ungap(aln);
    r.ungapped_built = true;
  }
  if (wants_selection_line(st.outputs)) r.letselvane = makeletselvane(r.blocks, aln.nupo);
  printpos(aln, r, out);
  write_files(st, aln, r);
  return r;
}

EntryFormat entry_format(const RunState& st) {
  return EntryFormat{st.input.fileformat, st.params.seq_type};
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
    st.input.filename.clear();
    return;
  }
  st.input.fichero1 = found.first_path;
  st.input.tog_sb = found.paths_file;
  st.input.numal = found.count;
  st.input.fileformat = found.format.format;
  st.params.seq_type = found.format.type;
  // b1 and b2 are derived afresh from the new input.
  st.input.negval_set = false;
  st.input.flankval_set = false;
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
  apply_detection(st, checkfiletype(st.input.filename), out);
  if (st.input.filename.empty()) return std::nullopt;
  Alignment aln = load(st.input.fichero1, st.input.fileformat);
  st.input.numseq = aln.numseq;
  st.input.nupo = aln.nupo;
  out.printf("\n%i sequences and %i positions in the first alignment file:\n", aln.numseq,
             aln.nupo);
  out.write(st.input.fichero1);
  out.write("\n\n");
  apply_sequence_count_defaults(st.params, aln.numseq);
  return aln;
}

void calculate(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  if (st.input.tog_sb) {
    run_batch(st, out, std::move(preloaded));
    return;
  }
  for (std::int32_t pass = 1; pass <= st.input.numal; ++pass) {
    // The alignment open_input() has just read is the file's current content; reading it
    // again would only double the time of a command-line run.
    Alignment aln =
        preloaded ? std::move(*preloaded) : load(st.input.fichero1, st.input.fileformat);
    preloaded.reset();
    note_loaded(st, aln);
    process(st, aln, out);
  }
}

}  // namespace selvane
