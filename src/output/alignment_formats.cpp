#include "output/alignment_formats.h"

#include <array>
#include <unordered_map>
#include <utility>

namespace selvane {
namespace {

// FASTA and NBRF/PIR names are whole header lines. Tree builders and aligners take a name up to
// its first blank, and two sequences of one name for one taxon.
constexpr NameRule kAsTheyAre = {};
constexpr NameRule kBlanksEndNames = {true, true, nullptr, {}};
constexpr NameRule kNexusNames = {
    true, false, nexus_key,
    " (NEXUS readers compare names without case, and read an unquoted '_' as a blank)"};

constexpr AlignmentWriter::Refused kAnyCharacter = {};
constexpr AlignmentWriter::Refused kStops = {"*", "ends an NBRF/PIR entry"};
// A comment, a set of states, the end of the matrix.
constexpr AlignmentWriter::Refused kNexusMarks = {"[](){};", "has a meaning of its own in NEXUS"};

constexpr std::array<AlignmentWriter, 5> kWriters = {{
    {OutputFormat::kFasta, "fasta", "FASTA", "", InputFormat::kFasta, kAsTheyAre, kAnyCharacter,
     write_fasta},
    {OutputFormat::kPir, "pir", "NBRF/PIR", "", InputFormat::kPir, kAsTheyAre, kStops, write_pir},
    {OutputFormat::kPhylip, "phylip", "PHYLIP", "the relaxed form tree builders read",
     InputFormat::kPhylip, kBlanksEndNames, kAnyCharacter, write_phylip},
    {OutputFormat::kNexus, "nexus", "NEXUS", "a DATA block, names quoted where needed",
     InputFormat::kNexus, kNexusNames, kNexusMarks, write_nexus},
    {OutputFormat::kClustal, "clustal", "Clustal", "blocks of 60 columns, as aligners write",
     InputFormat::kClustal, kBlanksEndNames, kAnyCharacter, write_clustal},
}};

// A control character: a byte below 0x20 but tab (a blank), 0x7f, or the two bytes of a UTF-8
// U+0080 to U+009F.
bool has_control(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if ((c < 0x20 && c != '\t') || c == 0x7f) return true;
    if (c == 0xc2 && i + 1 < name.size()) {
      const auto next = static_cast<unsigned char>(name[i + 1]);
      if (next >= 0x80 && next <= 0x9f) return true;
    }
  }
  return false;
}

}  // namespace

std::span<const AlignmentWriter> alignment_writers() {
  return kWriters;
}

const AlignmentWriter& alignment_writer(OutputFormat format) {
  for (const AlignmentWriter& writer : kWriters) {
    if (writer.format == format) return writer;
  }
  return kWriters.front();  // kSameAsInput is resolved before a file is written
}

OutputFormat same_format_as(InputFormat input) {
  for (const AlignmentWriter& writer : kWriters) {
    if (writer.same_as_input == input && input != InputFormat::kNone) return writer.format;
  }
  return OutputFormat::kFasta;
}

std::string blanks_as_underscores(std::string_view name) {
  std::string written(name);
  for (char& c : written) {
    if (c == ' ' || c == '\t') c = '_';
  }
  return written;
}

std::string name_key(const NameRule& rule, std::string_view name) {
  if (rule.key != nullptr) return rule.key(name);
  return rule.blanks_end_names ? blanks_as_underscores(name) : std::string(name);
}

NameCheck check_names(const NameRule& rule, std::span<const std::string> names) {
  NameCheck found;
  if (!rule.checked) return found;
  std::unordered_map<std::string, std::int32_t> seen;
  seen.reserve(names.size());
  for (std::size_t n = 1; n < names.size(); ++n) {
    const std::string& name = names[n];
    const auto number = static_cast<std::int32_t>(n);
    if (found.unwritable == 0 && (name.empty() || has_control(name))) found.unwritable = number;
    if (rule.blanks_end_names && name.find_first_of(" \t") != std::string::npos) ++found.renamed;
    const auto [at, added] = seen.emplace(name_key(rule, name), number);
    if (!added && found.clash_first == 0) {
      found.clash_first = at->second;
      found.clash_second = number;
    }
  }
  return found;
}

}  // namespace selvane
