#include "driver/long_options.h"

#include <cctype>

namespace selvane {

namespace {

std::string set_posix_exit(RunState& st, std::string_view /*value*/) {
  st.outputs.posix_exit = true;
  return {};
}

std::string set_strict(RunState& st, std::string_view /*value*/) {
  st.outputs.strict = true;
  st.outputs.posix_exit = true;
  return {};
}

std::string set_outdir(RunState& st, std::string_view value) {
  if (value.empty()) return "a folder must follow the '='";
  st.outputs.outdir = std::string(value);
  return {};
}

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

std::string set_out_format(RunState& st, std::string_view value) {
  if (same_letters(value, "fasta")) {
    st.outputs.out_format = OutputFormat::kFasta;
  } else if (same_letters(value, "pir")) {
    st.outputs.out_format = OutputFormat::kPir;
  } else if (same_letters(value, "phylip")) {
    st.outputs.out_format = OutputFormat::kPhylip;
  } else {
    return "the format is fasta, pir or phylip";
  }
  return {};
}

std::string set_long_names(RunState& st, std::string_view /*value*/) {
  st.input.long_names = true;
  return {};
}

std::string set_by_name(RunState& st, std::string_view /*value*/) {
  st.outputs.join.by_name = true;
  return {};
}

// The separator and the pattern are kept as typed: a batch that concatenates checks them
// before it writes anything, and only such a batch uses them.
std::string set_taxon_sep(RunState& st, std::string_view value) {
  st.outputs.join.taxon_sep = std::string(value);
  return {};
}

std::string set_taxon_regex(RunState& st, std::string_view value) {
  st.outputs.join.taxon_regex = std::string(value);
  return {};
}

std::string set_partitions(RunState& st, std::string_view /*value*/) {
  st.outputs.join.partitions = true;
  return {};
}

std::string set_svg(RunState& st, std::string_view /*value*/) {
  st.outputs.svg_overview = true;
  return {};
}

constexpr LongOption kLongOptions[] = {
    {"--posix-exit", "", set_posix_exit, "exit status 0 after a finished run (default: always 1)"},
    {"--strict", "", set_strict,
     "implies --posix-exit; an ignored argument or a refused value\n"
     "stops the run before any file is written; a run that selects\n"
     "no position ends with status 1"},
    {"--outdir", "DIR", set_outdir,
     "write every output file into DIR (created when needed) under\n"
     "its usual name, instead of beside its input"},
    {"--out-format", "fasta|pir|phylip", set_out_format,
     "format of the alignment files: selected and nonconserved\n"
     "blocks, ungapped alignment, concatenations (default: the\n"
     "input's); phylip is the relaxed form tree builders read"},
    {"--long-names", "", set_long_names,
     "accept sequence names of any length and write them whole\n"
     "(default: header lines of at most 73 characters)"},
    {"--by-name", "", set_by_name,
     "paths file: -a, -c and -w join sequences by taxon (the first\n"
     "word of the name), with gaps where an alignment lacks one;\n"
     "b1 and b2 then follow each alignment unless set"},
    {"--taxon-sep", "C", set_taxon_sep,
     "the taxon is the first word of the name up to the first C"},
    {"--taxon-regex", "RE", set_taxon_regex,
     "the taxon is the first group of the first match of the\n"
     "RE2 pattern RE in the name (without a group: the match);\n"
     "Perl syntax without backreferences or lookaround"},
    {"--partitions", "", set_partitions, "paths file: a partition file beside every concatenation"},
    {"--svg", "", set_svg, "also write an SVG overview of each alignment (default: off)"},
};

}  // namespace

std::span<const LongOption> long_options() {
  return kLongOptions;
}

LongOutcome apply_long_option(RunState& st, std::string_view arg) {
  LongOutcome outcome;
  const std::size_t equals = arg.find('=');
  const std::string_view name = arg.substr(0, equals);
  for (const LongOption& option : kLongOptions) {
    if (option.name != name) continue;
    const std::string written(option.name);
    if (option.value.empty() && equals != std::string_view::npos) {
      outcome.problem = written + " takes no value";
    } else if (!option.value.empty() && equals == std::string_view::npos) {
      outcome.problem = "it is written " + written + "=" + std::string(option.value);
    } else {
      const std::string_view value =
          equals == std::string_view::npos ? std::string_view() : arg.substr(equals + 1);
      outcome.problem = option.apply(st, value);
      outcome.refused = !outcome.problem.empty();
      outcome.matched = outcome.problem.empty();
    }
    return outcome;
  }
  outcome.unknown = true;
  outcome.problem = name == "--help" || name == "--version"
                        ? "--help and --version are understood only as the one argument"
                        : "unknown option";
  return outcome;
}

void apply_long_options(RunState& st, std::span<const std::string_view> options) {
  for (const std::string_view arg : options) {
    if (arg.starts_with("--")) apply_long_option(st, arg);
  }
}

}  // namespace selvane
