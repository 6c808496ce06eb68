#include "batch/partitions.h"

#include <unordered_map>
#include <unordered_set>

#include "core/output_file.h"
#include "output/alignment_formats.h"

namespace selvane {
namespace {

bool kept(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-' || c == '.';
}

// Characters are replaced rather than dropped: "gene 1.fas" and "gene1.fas" stay apart, and
// the words of a name stay readable. The bytes of one UTF-8 character give one '_'.
std::string reduced(const std::string& file) {
  std::string name;
  for (const char ch : file) {
    const auto c = static_cast<unsigned char>(ch);
    if (kept(c)) {
      name += ch;
    } else if ((c & 0xC0) != 0x80) {  // not a continuation byte
      name += '_';
    }
  }
  return name.empty() ? "gene" : name;
}

}  // namespace

std::vector<std::string> partition_names(const std::vector<std::string>& files) {
  std::vector<std::string> names;
  names.reserve(files.size());
  std::unordered_set<std::string> used;
  std::unordered_map<std::string, int> next_suffix;  // per reduced name: the suffix to try next
  for (const std::string& file : files) {
    std::string name = reduced(file);
    if (used.contains(name)) {
      int& k = next_suffix.try_emplace(name, 2).first->second;
      std::string candidate;
      do {
        candidate = name + "_" + std::to_string(k++);
      } while (used.contains(candidate));  // a later file may itself be called "x_2"
      name = std::move(candidate);
    }
    used.insert(name);
    names.push_back(std::move(name));
  }
  return names;
}

std::span<const PartitionFormRow> partition_forms() {
  static constexpr PartitionFormRow kForms[] = {
      {PartitionForm::kRaxml, "raxml", "lines \"MODEL, NAME = a-b\" (also --partitions alone)"},
      {PartitionForm::kNexus, "nexus", "a NEXUS sets block, \"charset NAME = a-b;\""},
  };
  return kForms;
}

std::string partition_text(const std::vector<PartitionGene>& genes, SeqType seq_type,
                           PartitionForm form) {
  const bool codons = seq_type == SeqType::kCodons;
  const bool nexus = form == PartitionForm::kNexus;
  const std::string model = seq_type == SeqType::kDna || codons ? "GTR+G" : "LG+G";
  std::vector<std::string> files;
  files.reserve(genes.size());
  for (const PartitionGene& gene : genes) files.push_back(gene.file);
  const std::vector<std::string> names = partition_names(files);

  std::string text = nexus ? "#nexus\nbegin sets;\n" : "";
  std::string models;  // NEXUS: "MODEL:NAME" of every part, a line each, for the charpartition
  const auto part = [&](const std::string& name, const std::string& range) {
    if (!nexus) {
      text += model + ", " + name + " = " + range + "\n";
      return;
    }
    const std::string written = nexus_name(name);
    text += "  charset " + written + " = " + range + ";\n";
    models += (models.empty() ? "\n    " : ",\n    ") + model + ":" + written;
  };
  std::int64_t first = 1;
  for (std::size_t g = 0; g < genes.size(); ++g) {
    if (genes[g].width <= 0) continue;
    const std::int64_t last = first + genes[g].width - 1;
    if (!codons) {
      part(names[g], std::to_string(first) + "-" + std::to_string(last));
    } else {
      // A gene whose width is not a multiple of three still has every position in exactly one
      // part: the steps of three count from its own first position, so a partial last codon
      // falls to the codon positions it has.
      for (std::int64_t k = 0; k < 3 && first + k <= last; ++k) {
        part(names[g] + "_codon" + std::to_string(k + 1),
             std::to_string(first + k) + "-" + std::to_string(last) + "\\3");
      }
    }
    first = last + 1;
  }
  if (nexus) {
    if (!models.empty()) text += "  charpartition models =" + models + ";\n";
    text += "end;\n";
  }
  return text;
}

void save_partitions(const std::string& path, const OutputSwitches& outputs,
                     const std::vector<PartitionGene>& genes, SeqType seq_type,
                     PartitionForm form) {
  Writer out = create_output_file(path, outputs);
  out.write(partition_text(genes, seq_type, form));
  out.close();
}

}  // namespace selvane
