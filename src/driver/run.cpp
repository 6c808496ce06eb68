#include "driver/run.h"

#include <string>
#include <utility>

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
  return st.tog_ungappedfile == 1 || (st.tog_sb == 1 && st.tog_sub == 1 && st.tog_allungfile == 1);
}

bool wants_selection_line(const RunState& st) {
  return st.tog_viewfile == 1 || st.tog_viewfile == 2 || st.tog_maskfile == 1;
}

void printpos(const Alignment& aln, const AlignmentResults& r, Writer& out) {
  out.printf("Original alignment: %i positions\n", aln.nupo);
  if (r.ungapped_built) out.printf("Ungapped alignment: %i positions\n", r.newlet.width());
  out.printf("Selvane alignment:  %i positions (%i %%) in %i selected block(s)\n", r.blocks.nupo3,
             r.blocks.nupo3per, r.blocks.newtopos / 2);
  out.put('\n');
}

OutputFile results_file(int tog_viewfile) {
  switch (tog_viewfile) {
    case 2:
      return OutputFile::kResultsText;
    case 3:
      return OutputFile::kResultsShort;
    default:
      return OutputFile::kResultsHtml;
  }
}

void write_files(const RunState& st, const Alignment& aln, const AlignmentResults& r) {
  const auto name = [&](OutputFile kind) { return output_name(st.fichero1, st.exten, kind); };
  if (st.tog_seqfile == 1) saveseq(name(OutputFile::kSelectedBlocks), st, aln, r.blocks);
  if (st.tog_viewfile >= 1 && st.tog_viewfile <= 3) {
    saveviewfile(name(results_file(st.tog_viewfile)), st, aln, r.cls, r.blocks, r.letselvane);
  }
  if (st.tog_maskfile == 1) savemask(name(OutputFile::kMask), st, aln, r.cls, r.letselvane);
  if (st.tog_psfile == 1) saveps(name(OutputFile::kPostScript), st, aln.nupo, r.blocks);
  if (st.tog_ncbfile == 1) savencb(name(OutputFile::kNonconserved), st, aln, r.blocks);
  if (st.tog_ungappedfile == 1) save_ung(name(OutputFile::kUngapped), st, aln, r.newlet);
}

}  // namespace

AlignmentResults process(const RunState& st, const Alignment& aln, Writer& out) {
  out.write(st.fichero1);
  out.put('\n');
  AlignmentResults r;
  r.cls = assignval(aln, st);
  r.blocks = getpos(r.cls, aln, st);
  if (wants_ungapped(st)) {
    r.newlet = ungap(aln);
    r.ungapped_built = true;
  }
  if (wants_selection_line(st)) r.letselvane = makeletselvane(r.blocks, aln.nupo);
  printpos(aln, r, out);
  write_files(st, aln, r);
  return r;
}

void note_loaded(RunState& st, const Alignment& aln) {
  st.numseq = aln.numseq;
  st.nupo = aln.nupo;
  PathParts parts = getpath(st.fichero1);
  st.name_file = std::move(parts.name_file);
  st.path_file = std::move(parts.path_file);
  st.path_fichero1 = st.path_file;
}

std::optional<Alignment> open_input(RunState& st, Writer& out) {
  checkfiletype(st, out);
  if (st.filename.empty()) return std::nullopt;
  Alignment aln = load(st.fichero1, st.fileformat);
  st.numseq = aln.numseq;
  st.nupo = aln.nupo;
  out.printf("\n%i sequences and %i positions in the first alignment file:\n", aln.numseq,
             aln.nupo);
  out.write(st.fichero1);
  out.write("\n\n");
  apply_sequence_count_defaults(st, aln.numseq);
  return aln;
}

void calculate(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  if (st.tog_sb == 1) {
    run_batch(st, out, std::move(preloaded));
    return;
  }
  for (std::int32_t pass = 1; pass <= st.numal; ++pass) {
    // The alignment open_input() has just read is the file's current content; reading it
    // again would only double the time of a command-line run.
    Alignment aln = preloaded ? std::move(*preloaded) : load(st.fichero1, st.fileformat);
    preloaded.reset();
    note_loaded(st, aln);
    process(st, aln, out);
  }
}

}  // namespace selvane
