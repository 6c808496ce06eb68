#include "driver/run.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "core/diagnostics.h"
#include "core/fatal.h"
#include "core/path_split.h"
#include "driver/alignment_run.h"
#include "driver/output_plan.h"
#include "input/byte_source.h"
#include "input/detect.h"
#include "input/problems.h"
#include "input/readers.h"
#include "input/type_hint.h"
#include "output/alignment_file.h"
#include "output/alignment_formats.h"
#include "output/naming.h"
#include "output/overview.h"
#include "output/site_table.h"
#include "output/summary_table.h"
#include "output/writers.h"
#include "selection/blocks.h"
#include "selection/classify.h"
#include "selection/derived.h"
#include "selection/sites.h"

namespace selvane {

namespace {

bool wants_ungapped(const Request& request) {
  return request.outputs.tog_ungappedfile ||
         (request.tog_sb && request.tog_sub && request.outputs.tog_allungfile);
}

bool wants_selection_line(const OutputSwitches& outputs) {
  return outputs.tog_viewfile == ResultsForm::kHtml || outputs.tog_viewfile == ResultsForm::kText ||
         outputs.tog_maskfile;
}

void printpos(const AlignmentResults& r, Writer& out) {
  out.printf("Original alignment: %i positions\n", r.nupo);
  if (r.nupoung) out.printf("Ungapped alignment: %i positions\n", *r.nupoung);
  out.printf("Selvane alignment:  %i positions (%i %%) in %i selected block(s)\n", r.blocks.nupo3(),
             r.blocks.nupo3per(), r.blocks.count());
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

// Writes the files the switches ask for (the same list the check before the run went through,
// so what is written is what was checked) and returns them.
std::vector<std::pair<OutputFile, std::string>> write_files(const Request& request, const Job& job,
                                                            const Alignment& aln,
                                                            const ProcessedAlignment& p,
                                                            const std::string& letselvane) {
  const OutputSwitches& outputs = request.outputs;
  const BlockParams& params = job.params;
  // The files name the alignment as their own names do (standard input as "stdin").
  const std::string fichero1 = output_stem(job.fichero1);
  const EntryFormat format = entry_format(request);
  const Blocks& blocks = p.results.blocks;
  auto files = alignment_outputs(job.fichero1, outputs);
  for (const auto& [kind, name] : files) {
    switch (kind) {
      case OutputFile::kSelectedBlocks:
        saveseq(name, outputs, format, aln, blocks);
        break;
      case OutputFile::kResultsHtml:
      case OutputFile::kResultsText:
      case OutputFile::kResultsShort:
        saveviewfile(name, params, outputs, fichero1, aln, p.cls, blocks, letselvane);
        break;
      case OutputFile::kMask:
        savemask(name, params, outputs, aln, p.cls, letselvane);
        break;
      case OutputFile::kPostScript:
        saveps(name, params, outputs, fichero1, aln.nupo, blocks);
        break;
      case OutputFile::kNonconserved:
        savencb(name, outputs, format, aln, blocks);
        break;
      case OutputFile::kUngapped:
        save_ung(name, outputs, format, aln, p.newlet);
        break;
      case OutputFile::kOverview:
        saveoverview(name, params, outputs, fichero1, aln, p.cls, blocks, p.gaps);
        break;
      case OutputFile::kSiteTable:
        save_site_table(name, outputs, params, aln, p.cls, blocks, p.gaps);
        break;
    }
  }
  return files;
}

}  // namespace

void check_output_names(const Request& request, const std::string& label,
                        std::span<const std::string> names, std::string_view noun, Writer& out) {
  const AlignmentWriter& writer = alignment_writer(entry_format(request).format);
  const NameCheck found = check_names(writer.names, names);
  const std::string title(writer.title);
  const auto name = [&](std::int32_t n) {
    // Whole: names that clash may differ only near their end.
    return std::string(noun) + " " + std::to_string(n) + " (\"" +
           names[static_cast<std::size_t>(n)] + "\")";
  };
  if (found.unwritable != 0) {
    const std::int32_t n = found.unwritable;
    const bool nameless = names[static_cast<std::size_t>(n)].empty();
    fatal_raw("", label + ": " +
                      (nameless ? std::string(noun) + " " + std::to_string(n) + " has no name"
                                : name(n) + " has a control character in its name") +
                      "; " + title + " names must be non-empty and printable: " +
                      (nameless ? "name it" : "rename it") + " or choose another --out-format");
  }
  if (found.clash_first != 0) {
    fatal_raw("", label + ": " + name(found.clash_first) + " and " + name(found.clash_second) +
                      " have the same " + title + " name \"" +
                      name_key(writer.names, names[static_cast<std::size_t>(found.clash_first)]) +
                      "\"" + std::string(writer.names.compared) +
                      "; rename one of them or choose another --out-format");
  }
  if (found.renamed > 0) {
    diagnose(out, label + ": " + std::to_string(found.renamed) +
                      (found.renamed == 1 ? " name holds" : " names hold") + " blanks; the " +
                      title + " files write each blank as '_'");
  }
}

ProcessedAlignment process(const Request& request, const Job& job, const Alignment& aln,
                           Writer& out) {
  const BlockParams& params = job.params;
  const OutputSwitches& o = request.outputs;
  out.write(job.fichero1);
  out.put('\n');
  ProcessedAlignment p;
  AlignmentResults& r = p.results;
  r.job = job;
  r.numseq = aln.numseq;
  r.nupo = aln.nupo;
  r.columns = aln.nupo + static_cast<std::int32_t>(aln.gap_columns.size());
  // The overview and the site table show the value an excluded position would have had.
  p.cls = assignval(aln, params, o.svg_overview || o.site_table);
  r.blocks = getpos(p.cls, aln, params);
  if (wants_ungapped(request)) {
    p.newlet = ungap(aln);
    r.nupoung = p.newlet.width();
  }
  std::string letselvane;
  if (wants_selection_line(o)) letselvane = makeletselvane(r.blocks, aln.nupo);
  if (o.svg_overview || o.site_table) {
    p.gaps = allocating("overview", [&] { return count_gaps(aln); });
  }
  if (!o.summary.empty()) r.sites = site_stats(aln, params.seq_type, r.blocks.newpos);
  printpos(r, out);
  if (aln.unread_from > 0) {
    diagnose(out, job.fichero1 + ": a further alignment begins on line " +
                      std::to_string(aln.unread_from) + "; only the first one is read");
  }
  if (r.blocks.nupo3() == 0) {
    diagnose(out,
             job.fichero1 + ": no position selected; " + no_selection_hint(params, aln, p.cls));
  }
  if (writes_alignment_files(request)) {
    check_output_names(request, job.fichero1, aln.name, "sequence", out);
  }
  r.files = write_files(request, job, aln, p, letselvane);
  return p;
}

Alignment in_run_frame(const Request& request, Alignment loaded) {
  if (request.params.seq_type == SeqType::kCodons) keep_codon_frame(loaded);
  return loaded;
}

bool fasta_read_as_protein(const Request& request) {
  return request.fileformat == InputFormat::kFasta &&
         request.params.seq_type == SeqType::kProtein && !request.type_chosen;
}

void hint_sequence_type(const Request& request, const std::string& fichero1, const Alignment& aln,
                        Writer& out) {
  if (request.typed_by_letters && !request.type_chosen) {
    const std::int32_t percent = *request.typed_by_letters;
    diagnose(out, fichero1 + ": its file names no sequence type: read as " +
                      (request.params.seq_type == SeqType::kDna ? "DNA" : "protein") + ", as " +
                      std::to_string(std::max(percent, 0)) +
                      " % of its letters are A, C, G, T, U or N (-t= chooses the type)");
    return;
  }
  if (!fasta_read_as_protein(request)) return;
  hint_nucleotides(request, fichero1, nucleotide_letter_percent(aln), out);
}

void hint_nucleotides(const Request& request, const std::string& fichero1, std::int32_t percent,
                      Writer& out) {
  if (percent < kNucleotideHintPercent) return;
  diagnose(out, fichero1 + ": read as protein, but " + std::to_string(percent) +
                    " % of its letters are A, C, G, T, U or N; if it is DNA or codons, give -t=D "
                    "or -t=C (t in the main menu)");
  // Its partition lines would name a protein model, which a tree builder refuses for DNA.
  if (request.outputs.strict) {
    strict_stop(request.filename, fichero1 +
                                      " was read as protein without -t: give -t=D or "
                                      "-t=C, or -t=P if it is protein");
  }
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
  st.input.typed_by_letters.reset();
  st.input.first_path = found.first_path;
  st.input.tog_sb = found.paths_file;
  st.input.numal = found.count;
  st.input.fileformat = found.format.format;
  st.params.seq_type = found.format.type;
  st.input.read_once.reset();
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
}

std::optional<Alignment> open_input(RunState& st, Writer& out, InputUse use) {
  if (use == InputUse::kMenus && names_standard_input(st.input.filename)) {
    out.write("\n* File not opened *\n");
    diagnose(out, "cannot open input \"" + st.input.filename +
                      "\": the menus read their answers from standard input, so it can be the "
                      "input (-) only of a command-line run, with options after it (selvane - "
                      "-p=y)");
    st.input.filename.clear();
    return std::nullopt;
  }
  Detection found = checkfiletype(st.input.filename, st.input.in_format);
  apply_detection(st, found, out);
  if (st.input.filename.empty()) return std::nullopt;
  // Read on from the bytes detection looked at: the input is opened once.
  const std::string& first = st.input.first_path;
  Alignment aln = working_on(first, [&] {
    return load(std::move(*found.first_alignment), st.input.fileformat, st.input.long_names);
  });
  if (st.params.seq_type == SeqType::kUnknown) {
    // A format that names no type, read with --in-format: the type the file declares, or its
    // letters'.
    st.params.seq_type = aln.declared_type;
    if (st.params.seq_type == SeqType::kUnknown) {
      st.input.typed_by_letters = nucleotide_letter_percent(aln);
      st.params.seq_type = type_from_letters(*st.input.typed_by_letters);
    }
  }
  st.input.numseq = aln.numseq;
  st.input.nupo = aln.nupo;
  out.printf("\n%i sequences and %i positions in the first alignment file:\n", aln.numseq,
             aln.nupo);
  out.write(first);
  out.write("\n\n");
  apply_sequence_count_defaults(st.params, aln.numseq);
  if (!found.read_once) return aln;
  // Another run (in the menus) could not read it again: what the runs need is kept. A paths
  // file's alignments are regular files, read as in any batch.
  auto kept = std::make_shared<ReadOnceInput>();
  if (found.paths_file) {
    kept->listed = std::move(found.listed);
    st.input.read_once = std::move(kept);
    return aln;
  }
  kept->alignment = std::move(aln);
  st.input.read_once = std::move(kept);
  return std::nullopt;
}

namespace {

RunResults run_single(const Request& request, Writer& out, std::optional<Alignment> preloaded) {
  // A menu runs only with an input open; the command line runs even when none could be opened,
  // and then ends in the reader, before anything could be written.
  if (!request.filename.empty()) {
    guard_outputs(plan_run(request, {request.first_path}), request.outputs);
  }
  const Job job{request.first_path, 0, 0, request.params};
  RunResults results;
  working_on(job.fichero1, [&] {
    std::optional<Alignment> loaded;
    const Alignment* aln = nullptr;
    if (request.read_once && request.read_once->alignment) {
      // Kept as it was read, for every run: a codon frame to restore goes into a copy.
      const Alignment& kept = *request.read_once->alignment;
      if (request.params.seq_type == SeqType::kCodons && !kept.gap_columns.empty()) {
        loaded = in_run_frame(request, kept);
      } else {
        aln = &kept;
      }
    } else {
      // The alignment open_input() has just read is the file's current content; reading it
      // again would only double the time of a command-line run.
      loaded = in_run_frame(request,
                            preloaded ? std::move(*preloaded)
                                      : load(job.fichero1, request.fileformat, request.long_names));
    }
    if (aln == nullptr) aln = &*loaded;
    hint_sequence_type(request, job.fichero1, *aln, out);
    results.alignments.push_back(process(request, job, *aln, out).results);
  });
  return results;
}

// --summary=FILE, once every alignment is done: FILE as typed, whatever --outdir says.
void write_summary(const Request& request, const RunResults& results) {
  std::vector<SummaryRow> rows;
  rows.reserve(results.alignments.size());
  for (const AlignmentResults& r : results.alignments) {
    // A single alignment is listed as the user typed it ("-", not the /dev/stdin it is read as).
    const std::string& listed =
        request.tog_sb || request.typed.empty() ? r.job.fichero1 : request.typed;
    rows.push_back({listed, r.job.params.seq_type, r.numseq, r.columns, r.nupo, r.blocks.nupo3(),
                    r.blocks.count(), r.sites.value_or(SiteStats{}), r.taxa});
  }
  OutputSwitches as_typed = request.outputs;
  as_typed.outdir.clear();
  as_typed.out.clear();  // "-" is a file of that name here, not standard output
  save_summary(request.outputs.summary, as_typed, rows);
}

}  // namespace

RunResults run(const Request& request, Writer& out, std::optional<Alignment> preloaded) {
  RunResults results = request.tog_sb ? run_batch(request, out, std::move(preloaded))
                                      : run_single(request, out, std::move(preloaded));
  if (!request.outputs.summary.empty()) write_summary(request, results);
  return results;
}

void leave_for_menus(RunState& st, const RunResults& results) {
  if (results.alignments.empty()) return;
  const AlignmentResults& last = results.alignments.back();
  st.input.numseq = last.numseq;
  st.input.nupo = last.nupo;
  st.params.initnegval = last.job.params.initnegval;
  st.params.negval = last.job.params.negval;
  st.params.flankval = last.job.params.flankval;
}

RunOutcome calculate(RunState& st, Writer& out, std::optional<Alignment> preloaded) {
  const Request request = make_request(st);
  const RunResults results = run(request, out, std::move(preloaded));
  leave_for_menus(st, results);
  RunOutcome outcome;
  for (const AlignmentResults& r : results.alignments) outcome.selected += r.blocks.nupo3();
  outcome.alignments = static_cast<std::int32_t>(results.alignments.size());
  return outcome;
}

}  // namespace selvane
