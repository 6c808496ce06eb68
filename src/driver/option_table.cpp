#include "driver/option_table.h"

#include <climits>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "batch/partitions.h"
#include "core/setting_rules.h"
#include "core/words.h"
#include "input/formats.h"
#include "output/alignment_formats.h"

namespace selvane {

namespace {

// What a short option's refusal comes back with: its own warning is on standard output.
const char kSeeWarning[] = "the setting keeps its value (the warning on standard output says why)";

void line(Writer& out, std::string_view text) {
  out.write(text);
  out.put('\n');
}

// A Y/N switch: sets the switch or prints the option's warning.
template <bool OutputSwitches::*Switch, char Name>
std::string yes_no(OptionContext& c, const OptionValue& v) {
  if (const std::optional<bool> on = yes_no_from_letter(v.letter)) {
    c.st.outputs.*Switch = *on;
    return {};
  }
  c.out.printf("\nWARNING: Parameter -%c not properly entered. It has to be Y (Yes) or N (No)\n",
               Name);
  return kSeeWarning;
}

// A batch concatenation switch: Y also fixes b1 and b2 for the whole batch.
template <bool OutputSwitches::*Switch, char Name>
std::string concatenation(OptionContext& c, const OptionValue& v) {
  std::string refused = yes_no<Switch, Name>(c, v);
  if (yes_no_from_letter(v.letter).value_or(false)) c.st.input.tog_sub = true;
  return refused;
}

// -s: --out asks for the selected blocks, so it cannot be turned off beside it.
std::string set_seqfile(OptionContext& c, const OptionValue& v) {
  if (!c.st.outputs.out.empty() && yes_no_from_letter(v.letter) == false) {
    return "--out=" + c.st.outputs.out + " writes the selected blocks";
  }
  return yes_no<&OutputSwitches::tog_seqfile, 's'>(c, v);
}

std::string set_type(OptionContext& c, const OptionValue& v) {
  if (const std::optional<SeqType> type = seq_type_from_letter(v.letter)) {
    c.st.params.seq_type = *type;
    c.st.input.type_chosen = true;
    return {};
  }
  line(c.out,
       "\nWARNING: Parameter -t not properly entered. It has to be P (Proteins), C (Codons) or D "
       "(DNA)");
  return kSeeWarning;
}

std::string set_b1(OptionContext& c, const OptionValue& v) {
  RunState& st = c.st;
  const RangeVerdict verdict = check_negval(v.number, st.params, st.input.numseq);
  if (verdict.accepted()) {
    st.params.negval = v.number;
    st.input.tog_sub = true;
    st.input.negval_set = true;
    st.input.refused_negval.reset();
    return {};
  }
  st.input.refused_negval = {v.number, st.params.initnegval, st.params.flankval};
  line(c.out, "\nWARNING: Parameter -b1 not properly entered.");
  if (verdict.too_low) {
    c.out.printf(
        "The minimum number of sequences for a conserved position must be bigger than or equal "
        "to %i (half the number of sequences + 1)\n",
        st.params.initnegval);
  }
  if (verdict.too_high) {
    line(c.out,
         "The minimum number of sequences for a conserved position must be lower than or equal "
         "to the minimum number of sequences for a flank position");
  }
  return kSeeWarning;
}

std::string set_b2(OptionContext& c, const OptionValue& v) {
  RunState& st = c.st;
  const RangeVerdict verdict = check_flankval(v.number, st.params, st.input.numseq);
  if (verdict.accepted()) {
    st.params.flankval = v.number;
    st.input.tog_sub = true;
    st.input.flankval_set = true;
    st.input.flankval_lowest = false;
    st.input.refused_flankval.reset();
    return {};
  }
  // On the command line 0 (or a value without digits) asks for the lowest b2 there is: taken,
  // with a warning that says what it became.
  if (v.number == 0) {
    st.params.flankval = st.params.negval;
    st.input.flankval_set = false;
    st.input.flankval_lowest = true;
    st.input.refused_flankval.reset();
    line(c.out,
         "\nWARNING: minimum number of sequences for a flank position set to the minimum possible "
         "value.");
    return {};
  }
  st.input.refused_flankval = {v.number, st.params.negval, st.input.numseq};
  line(c.out, "\nWARNING: Parameter -b2 not properly entered.");
  if (verdict.too_high) {
    c.out.printf(
        "The minimum number of sequences for a flank position must be lower than or equal to %i "
        "(the number of sequences)\n",
        st.input.numseq);
  }
  if (verdict.too_low) {
    line(c.out,
         "The minimum number of sequences for a flank position must be bigger than or equal to "
         "the minimum number of sequences for a conserved position");
  }
  return kSeeWarning;
}

std::string set_b3(OptionContext& c, const OptionValue& v) {
  if (check_negblen(v.number).accepted()) {
    c.st.params.negblen = v.number;
    return {};
  }
  line(c.out, "\nWARNING: Parameter -b3 not properly entered.");
  return kSeeWarning;
}

// The command line asks the same minimum of every sequence type, codons included.
std::string block_length_refused(OptionContext& c, char digit, const RangeVerdict& verdict) {
  c.out.printf("\nWARNING: Parameter -b%c not properly entered.\n", digit);
  if (verdict.too_low) line(c.out, "The minimum length of a block must be 2 or bigger");
  return kSeeWarning;
}

std::string set_b0(OptionContext& c, const OptionValue& v) {
  const RangeVerdict verdict = check_block_length(v.number);
  if (!verdict.accepted()) return block_length_refused(c, '0', verdict);
  c.st.params.posblen = v.number;
  c.b0_given = true;
  return {};
}

std::string set_b4(OptionContext& c, const OptionValue& v) {
  const RangeVerdict verdict = check_block_length(v.number);
  if (!verdict.accepted()) return block_length_refused(c, '4', verdict);
  c.st.params.posblen2 = v.number;
  if (!c.b0_given) c.st.params.posblen = v.number;
  return {};
}

std::string set_b5(OptionContext& c, const OptionValue& v) {
  if (const std::optional<GapPolicy> gaps = gap_policy_from_letter(v.letter)) {
    c.st.params.tog_gaps = *gaps;
    return {};
  }
  line(c.out,
       "\nWARNING: Parameter -b5 not properly entered. It has to be N (None), H (With Half) or "
       "A (All)");
  return kSeeWarning;
}

std::string set_b6(OptionContext& c, const OptionValue& v) {
  if (const std::optional<bool> on = yes_no_from_letter(v.letter)) {
    c.st.params.tog_sim = *on;
    return {};
  }
  line(c.out, "\nWARNING: Parameter -b6 not properly entered. It has to be Y (Yes) or N (No)");
  return kSeeWarning;
}

std::string set_extension(OptionContext& c, const OptionValue& v) {
  if (check_extension(v.text) == ExtensionVerdict::kAccepted) {
    c.st.outputs.exten = std::string(v.text);
    return {};
  }
  line(c.out, "\nWARNING: Parameter -e not properly entered.");
  line(c.out, "The string has to have 5 characters maximum");
  return kSeeWarning;
}

std::string set_results(OptionContext& c, const OptionValue& v) {
  if (const std::optional<ResultsForm> form = results_form_from_letter(v.letter)) {
    c.st.outputs.tog_viewfile = *form;
    return {};
  }
  line(c.out,
       "\nWARNING: Parameter -p not properly entered. It has to be Y (Yes, HTML), N (No), T "
       "(Text) or S (Short)");
  return kSeeWarning;
}

std::string set_breakcount(OptionContext& c, const OptionValue& v) {
  if (check_breakcount(v.number).accepted()) {
    c.st.outputs.breakcount = v.number;
    return {};
  }
  line(c.out, "\nWARNING: Parameter -v not properly entered. It must be between 50 and 32000");
  return kSeeWarning;
}

// A long switch: sets its flag.
template <auto Part, auto Flag>
std::string turn_on(OptionContext& c, const OptionValue& /*value*/) {
  (c.st.*Part).*Flag = true;
  return {};
}

// A switch of the joins of a batch.
template <bool JoinSwitches::*Flag>
std::string join_switch(OptionContext& c, const OptionValue& /*value*/) {
  c.st.outputs.join.*Flag = true;
  return {};
}

std::string set_strict(OptionContext& c, const OptionValue& /*value*/) {
  c.st.outputs.strict = true;
  c.st.outputs.posix_exit = true;
  return {};
}

std::string set_outdir(OptionContext& c, const OptionValue& v) {
  if (v.text.empty()) return "a folder must follow the '='";
  c.st.outputs.outdir = std::string(v.text);
  return {};
}

std::string set_summary(OptionContext& c, const OptionValue& v) {
  if (v.text.empty()) return "a file must follow the '='";
  c.st.outputs.summary = std::string(v.text);
  return {};
}

// Applied before the input is opened: with "-", the report of the opening already goes to
// standard error, and standard output carries the selected blocks alone.
std::string set_out(OptionContext& c, const OptionValue& v) {
  if (v.text.empty()) return "a file name, or - for standard output, must follow the '='";
  c.st.outputs.out = std::string(v.text);
  c.st.outputs.tog_seqfile = true;
  c.out.divert(v.text == "-" ? stderr : stdout);
  return {};
}


// "a, b or c" of the names of `values`.
std::string one_of(const std::vector<NamedValue>& values) {
  std::string names;
  for (std::size_t i = 0; i < values.size(); ++i) {
    names += i == 0 ? "" : i + 1 == values.size() ? " or " : ", ";
    names += values[i].name;
  }
  return names;
}

// The formats are the rows of the alignment writers' table.
std::vector<NamedValue> output_formats() {
  std::vector<NamedValue> values;
  for (const AlignmentWriter& writer : alignment_writers()) {
    values.push_back({writer.name, writer.about});
  }
  return values;
}

std::string set_out_format(OptionContext& c, const OptionValue& v) {
  for (const AlignmentWriter& writer : alignment_writers()) {
    if (same_letters(v.text, writer.name)) {
      c.st.outputs.out_format = writer.format;
      return {};
    }
  }
  return "the format is " + one_of(output_formats());
}

std::vector<NamedValue> partition_form_values() {
  std::vector<NamedValue> values;
  for (const PartitionFormRow& row : partition_forms()) values.push_back({row.name, row.about});
  return values;
}

// Alone, the form every tree builder reads.
std::string set_partitions(OptionContext& c, const OptionValue& v) {
  if (!v.given) {
    c.st.outputs.join.partitions = PartitionForm::kRaxml;
    return {};
  }
  for (const PartitionFormRow& row : partition_forms()) {
    if (same_letters(v.text, row.name)) {
      c.st.outputs.join.partitions = row.form;
      return {};
    }
  }
  return "the form is " + one_of(partition_form_values());
}

// auto, then the rows of the input formats' table, in the order auto tries them.
std::vector<NamedValue> input_format_values() {
  std::vector<NamedValue> values = {{"auto", ""}};
  for (const InputFormatRow* row : input_formats()) values.push_back({row->name, ""});
  return values;
}

std::string set_in_format(OptionContext& c, const OptionValue& v) {
  if (same_letters(v.text, "auto")) {
    c.st.input.in_format = InputFormat::kNone;
  } else if (const InputFormatRow* row = find_input_format(v.text)) {
    c.st.input.in_format = row->format;
  } else {
    return "the format is " + one_of(input_format_values());
  }
  return {};
}

// The separator and the pattern are kept as typed: a batch that concatenates checks them
// before it writes anything, and only such a batch uses them.
std::string set_taxon_sep(OptionContext& c, const OptionValue& v) {
  c.st.outputs.join.taxon_sep = std::string(v.text);
  return {};
}

std::string set_taxon_regex(OptionContext& c, const OptionValue& v) {
  c.st.outputs.join.taxon_regex = std::string(v.text);
  return {};
}

// --help or --version after the input: the first one given is answered, nothing else is done.
template <Standalone Asked>
std::string ask(OptionContext& c, const OptionValue& /*value*/) {
  if (c.standalone == Standalone::kNone) c.standalone = Asked;
  return {};
}

// A count of an occupancy filter: a whole number from 1 on, written in digits alone.
template <std::int32_t JoinSwitches::*Field>
std::string set_minimum(OptionContext& c, const OptionValue& v) {
  std::int64_t n = 0;
  for (const char digit : v.text) {
    if (digit < '0' || digit > '9' || n > INT32_MAX) return "N is a whole number, 1 or more";
    n = n * 10 + (digit - '0');
  }
  if (v.text.empty() || n < 1 || n > INT32_MAX) return "N is a whole number, 1 or more";
  c.st.outputs.join.*Field = static_cast<std::int32_t>(n);
  return {};
}

// The defaults --help shows.
template <std::int32_t BlockParams::*Field>
std::string parameter(const RunState& s) {
  return std::to_string(s.params.*Field);
}

template <bool OutputSwitches::*Switch>
std::string switch_letter(const RunState& s) {
  return std::string(1, yes_no_letter(s.outputs.*Switch));
}

constexpr auto kLetter = ValueKind::kLetter;
constexpr auto kNumber = ValueKind::kNumber;
constexpr auto kText = ValueKind::kText;
constexpr auto kNone = ValueKind::kNone;
constexpr auto kBefore = OptionStage::kBeforeInput;
constexpr auto kAfter = OptionStage::kAfterInput;
constexpr bool kAnyCase = true;

// Rows: name, value shown, kind, stage, setter, help, default, any case, described after the next,
// values from a table.
constexpr OptionRow kOptions[] = {
    {"-t", "P|D|C", kLetter, kAfter, set_type,
     "sequence type: protein, DNA, codons (default: from the input;\n"
     "FASTA is read as protein, see --in-format)"},
    {"-b1", "N/2+1..b2", kNumber, kAfter, set_b1,
     "b1, minimum sequences for a conserved position\n(default: N/2+1)", nullptr, kAnyCase},
    {"-b2", "b1..N", kNumber, kAfter, set_b2,
     "b2, minimum sequences for a flank position\n"
     "(default: N*85/100, at least 2; -b2=0 sets it to b1)",
     nullptr, kAnyCase},
    {"-b3", "0..32000", kNumber, kAfter, set_b3,
     "b3, maximum contiguous nonconserved positions (default: {})",
     parameter<&BlockParams::negblen>, kAnyCase},
    {"-b0", "2..32000", kNumber, kAfter, set_b0,
     "b0, minimum length of an initial block\n(default: {}, or the value of b4)",
     parameter<&BlockParams::posblen>, kAnyCase, true},
    {"-b4", "2..32000", kNumber, kAfter, set_b4,
     "b4, minimum length of a block; also sets b0 (default: {})", parameter<&BlockParams::posblen2>,
     kAnyCase},
    {"-b5", "N|H|A", kLetter, kAfter, set_b5,
     "b5, gap positions allowed: None, With Half, All (default: {})",
     [](const RunState& s) { return std::string(1, gap_policy_letter(s.params.tog_gaps)); },
     kAnyCase},
    {"-b6", "Y|N", kLetter, kAfter, set_b6,
     "b6, use the similarity matrix, proteins only (default: {})",
     [](const RunState& s) { return std::string(1, yes_no_letter(s.params.tog_sim)); }, kAnyCase},
    {"-e", "TEXT", kText, kAfter, set_extension,
     "generic extension of output names, 1 to 5 characters\n(default: {})",
     [](const RunState& s) { return s.outputs.exten; }, kAnyCase},
    {"-s", "Y|N", kLetter, kAfter, set_seqfile, "write the selected blocks (default: {})",
     switch_letter<&OutputSwitches::tog_seqfile>, kAnyCase},
    {"-p", "Y|N|T|S", kLetter, kAfter, set_results,
     "write the results file: HTML, none, text, short text\n(default: {})",
     [](const RunState& s) { return std::string(1, results_form_letter(s.outputs.tog_viewfile)); },
     kAnyCase},
    {"-k", "Y|N", kLetter, kAfter, yes_no<&OutputSwitches::tog_maskfile, 'k'>,
     "write the mask file (default: {})", switch_letter<&OutputSwitches::tog_maskfile>, kAnyCase},
    {"-d", "Y|N", kLetter, kAfter, yes_no<&OutputSwitches::tog_psfile, 'd'>,
     "write the EPS map of the blocks (default: {})", switch_letter<&OutputSwitches::tog_psfile>,
     kAnyCase},
    {"-n", "Y|N", kLetter, kAfter, yes_no<&OutputSwitches::tog_ncbfile, 'n'>,
     "write the nonconserved blocks (default: {})", switch_letter<&OutputSwitches::tog_ncbfile>,
     kAnyCase},
    {"-u", "Y|N", kLetter, kAfter, yes_no<&OutputSwitches::tog_ungappedfile, 'u'>,
     "write the ungapped alignment (default: {})", switch_letter<&OutputSwitches::tog_ungappedfile>,
     kAnyCase},
    {"-a", "Y|N", kLetter, kAfter, concatenation<&OutputSwitches::tog_allfile, 'a'>,
     "paths file: concatenate the selected blocks (default: {})",
     switch_letter<&OutputSwitches::tog_allfile>, kAnyCase},
    {"-c", "Y|N", kLetter, kAfter, concatenation<&OutputSwitches::tog_allfile_init, 'c'>,
     "paths file: concatenate the input alignments (default: {})",
     switch_letter<&OutputSwitches::tog_allfile_init>, kAnyCase},
    {"-w", "Y|N", kLetter, kAfter, concatenation<&OutputSwitches::tog_allungfile, 'w'>,
     "paths file: concatenate the ungapped alignments (default: {})",
     switch_letter<&OutputSwitches::tog_allungfile>, kAnyCase},
    {"-v", "50..32000", kNumber, kAfter, set_breakcount,
     "positions per line in the results file (default: {})",
     [](const RunState& s) { return std::to_string(s.outputs.breakcount); }, kAnyCase},

    {"--posix-exit", "", kNone, kAfter, turn_on<&RunState::outputs, &OutputSwitches::posix_exit>,
     "exit status 0 after a finished run (default: always 1)"},
    {"--strict", "", kNone, kAfter, set_strict,
     "implies --posix-exit; an ignored argument, a refused value\n"
     "or a switch that would do nothing stops the run before any\n"
     "file is written; a run that selects no position ends with\n"
     "status 1"},
    {"--outdir", "DIR", kText, kAfter, set_outdir,
     "write every output file into DIR (created when needed) under\n"
     "its usual name, instead of beside its input"},
    {"--out", "FILE", kText, kBefore, set_out,
     "one alignment: write the selected blocks to FILE (kept\n"
     "there with --outdir; -s=n is refused); with --out=- to\n"
     "standard output, and all the program prints to standard error"},
    {"--out-format", "", kText, kAfter, set_out_format,
     "format of the alignment files: selected and nonconserved\n"
     "blocks, ungapped alignment, concatenations (default: the\n"
     "input's; FASTA for a Stockholm input)",
     nullptr, false, false, output_formats},
    {"--in-format", "", kText, kBefore, set_in_format,
     "read the input, and every alignment a paths file lists, in\n"
     "this format; auto tries NBRF/PIR, FASTA, NEXUS, Stockholm,\n"
     "Clustal and PHYLIP in this order; a format that names no\n"
     "sequence type is DNA when 90 % of its letters are A, C, G,\n"
     "T, U or N, else protein (default: NBRF/PIR or FASTA, FASTA\n"
     "read as protein)",
     nullptr, false, false, input_format_values},
    {"--long-names", "", kNone, kBefore, turn_on<&RunState::input, &CurrentInput::long_names>,
     "accept sequence names of any length and write them whole\n"
     "(default: header lines of at most 73 characters)"},
    {"--by-name", "", kNone, kAfter, join_switch<&JoinSwitches::by_name>,
     "paths file: -a, -c and -w join sequences by taxon (the first\n"
     "word of the name), with gaps where an alignment lacks one;\n"
     "b1 and b2 then follow each alignment unless set"},
    {"--taxon-sep", "C", kText, kAfter, set_taxon_sep,
     "the taxon is the first word of the name up to the first C"},
    {"--taxon-regex", "RE", kText, kAfter, set_taxon_regex,
     "the taxon is the first group of the first match of the\n"
     "RE2 pattern RE in the name (without a group: the match);\n"
     "Perl syntax without backreferences or lookaround"},
    {"--min-taxa", "N", kText, kAfter, set_minimum<&JoinSwitches::min_taxa>,
     "joined by taxon: an alignment of fewer than N taxa is left\n"
     "out of the concatenations"},
    {"--min-genes", "N", kText, kAfter, set_minimum<&JoinSwitches::min_genes>,
     "joined by taxon: a taxon found in fewer than N of the\n"
     "alignments concatenated is left out of them"},
    {"--partitions", "", ValueKind::kOptionalText, kAfter, set_partitions,
     "paths file: a partition file beside every concatenation", nullptr, false, false,
     partition_form_values},
    {"--occupancy", "", kNone, kAfter, join_switch<&JoinSwitches::occupancy>,
     "joined by taxon: a table of each taxon's residues in each\n"
     "alignment beside every concatenation"},
    {"--svg", "", kNone, kAfter, turn_on<&RunState::outputs, &OutputSwitches::svg_overview>,
     "also write an SVG overview of each alignment (default: {})",
     [](const RunState& s) { return std::string(s.outputs.svg_overview ? "on" : "off"); }},
    {"--site-table", "", kNone, kAfter, turn_on<&RunState::outputs, &OutputSwitches::site_table>,
     "also write a table of every input column of each alignment:\n"
     "its position, conservation, gaps, class and block"},
    {"--summary", "FILE", kText, kAfter, set_summary,
     "write a table of every alignment of the run to FILE (as\n"
     "typed, not moved by --outdir): positions, selection, sites"},
    {"--help", "", kNone, kBefore, ask<Standalone::kPrintHelp>,
     "print this usage and end with status 0, running nothing"},
    {"--version", "", kNone, kBefore, ask<Standalone::kPrintVersion>,
     "print the version line and end with status 0, running\n"
     "nothing"},
};

}  // namespace

std::string OptionRow::written() const {
  std::string value(shown);
  if (values != nullptr) {
    for (const NamedValue& named : values()) (value += value.empty() ? "" : "|") += named.name;
  }
  if (kind == ValueKind::kNone) return std::string(name);
  if (kind == ValueKind::kOptionalText) return std::string(name) + "[=" + value + "]";
  return std::string(name) + "=" + value;
}

std::span<const OptionRow> option_table() {
  return kOptions;
}

}  // namespace selvane
