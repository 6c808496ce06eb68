// NEXUS: a DATA block whose MATRIX gives each sequence on one line, after its name; and the
// names as NEXUS writes and compares them.
#include <algorithm>
#include <string>
#include <vector>

#include "output/alignment_formats.h"

namespace selvane {
namespace {

// A blank or one of NEXUS's punctuation marks ends an unquoted word.
bool needs_quotes(std::string_view name) {
  constexpr std::string_view kEndsWord = " \t()[]{}/\\,;:=*'\"`+-<>";
  return name.empty() || name.find_first_of(kEndsWord) != std::string_view::npos;
}

}  // namespace

std::string nexus_name(std::string_view name) {
  if (!needs_quotes(name)) return std::string(name);
  std::string quoted = "'";
  for (const char c : name) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  quoted += '\'';
  return quoted;
}

std::string nexus_key(std::string_view name) {
  const bool quoted = needs_quotes(name);
  std::string key(name);
  for (char& c : key) {
    if (c == '_' && !quoted) c = ' ';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

void write_nexus(Writer& out, const AlignmentContent& content, SeqType seq_type) {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(content.numseq));
  std::size_t column = 0;
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    names.push_back(nexus_name(content.names[static_cast<std::size_t>(n)]));
    column = std::max(column, names.back().size());
  }
  out.write("#NEXUS\n\nBEGIN DATA;\n  DIMENSIONS NTAX=");
  out.number(content.numseq);
  out.write(" NCHAR=");
  out.number(content.width());
  out.write(";\n  FORMAT DATATYPE=");
  out.write(seq_type == SeqType::kDna || seq_type == SeqType::kCodons ? "DNA" : "PROTEIN");
  out.write(" MISSING=? GAP=-;\n  MATRIX\n");
  const bool empty = content.width() == 0;
  for (std::int32_t n = 1; n <= content.numseq; ++n) {
    const std::string& name = names[static_cast<std::size_t>(n - 1)];
    out.write(name);
    if (!empty) out.fill(' ', column - name.size() + 2);
    for_each_stretch(content, n, [&](std::string_view chars) { out.write(chars); });
    out.put('\n');
  }
  out.write("  ;\nEND;\n");
}

}  // namespace selvane
