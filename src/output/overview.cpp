#include "output/overview.h"

#include <algorithm>
#include <utility>

#include "core/fatal.h"
#include "core/output_file.h"
#include "core/path_split.h"
#include "output/parameter_names.h"

namespace selvane {
namespace {

OverviewParameter parameter(const ParameterName& which, std::string value) {
  return {std::string(which.key), std::string(which.name), std::move(value)};
}

void write_svg(const std::string& path, const OutputSwitches& outputs, const OverviewData& data) {
  const std::string svg = allocating("overview", [&] { return render_svg(data); });
  Writer out = create_output_file(path, outputs);
  out.write(svg);
  out.close();
}

// What every overview shows of the run: the parameters, b1 and b2 and the sequence type.
OverviewData overview_of(std::string_view path, const BlockParams& params) {
  OverviewData data;
  data.file_name = getpath(path).name_file;
  data.type_label = type_name(params.seq_type);
  data.negval = params.negval;
  data.flankval = params.flankval;
  data.parameters = overview_parameters(params);
  return data;
}

}  // namespace

std::vector<OverviewParameter> overview_parameters(const BlockParams& params) {
  const auto number = [](std::int32_t n) { return std::to_string(n); };
  std::string similarity = "No (proteins only)";
  if (params.seq_type == SeqType::kProtein) similarity = params.tog_sim ? "Yes" : "No";
  return {parameter(kInitialBlockName, number(params.posblen)),
          parameter(kConservedName, number(params.negval)),
          parameter(kFlankName, number(params.flankval)),
          parameter(kNonconservedName, number(params.negblen)),
          parameter(kBlockName, number(params.posblen2)),
          parameter(kGapsName, std::string(gap_policy_name(params.tog_gaps))),
          parameter(kSimilarityName, std::move(similarity))};
}

void saveoverview(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
                  std::string_view fichero1, const Alignment& aln, const Classification& cls,
                  const Blocks& blocks, std::span<const std::int32_t> gaps) {
  OverviewData data = overview_of(fichero1, params);
  data.numseq = aln.numseq;
  data.nupo = aln.nupo;
  data.val = cls.val;
  data.excluded_val = cls.excluded_val;
  data.gaps = gaps;
  data.max_scored_gaps = gap_limit(params.tog_gaps, params.initnegval, aln.numseq);
  data.newpos = blocks.newpos;
  data.newtopos = blocks.newtopos;
  data.selected = blocks.nupo3;
  data.selected_percent = blocks.nupo3per;
  write_svg(path, outputs, data);
}

void BlocksOverview::append(std::string_view fichero1, const Alignment& aln,
                            const BlockParams& params, const Classification& cls,
                            const Blocks& blocks, std::span<const std::int32_t> gaps) {
  const std::int32_t start = length() + 1;
  const std::int32_t max_gaps = gap_limit(params.tog_gaps, params.initnegval, aln.numseq);
  const float per_sequence = 1.0f / static_cast<float>(std::max(aln.numseq, 1));
  allocating("overview", [&] {
    shares_.reserve(shares_.size() + static_cast<std::size_t>(blocks.nupo3));
    for (std::int32_t k = 1; k <= blocks.count(); ++k) {
      const std::int32_t first = blocks.first(k);
      const std::int32_t last = blocks.last(k);
      if (last < first) continue;  // a codon block left without a whole codon adds nothing
      newpos_.push_back(length() + 1);
      newpos_.push_back(length() + last - first + 1);
      for (std::int32_t p = first; p <= last; ++p) {
        const auto i = static_cast<std::size_t>(p);
        shares_.push_back({cls.val[i] * per_sequence, static_cast<float>(gaps[i]) * per_sequence,
                           gaps[i] > max_gaps});
      }
    }
    OverviewGene gene{
        getpath(fichero1).name_file, start, length(), aln.numseq, params.negval, params.flankval};
    (gene.last >= start ? genes_ : empty_genes_).push_back(std::move(gene));
  });
}

void BlocksOverview::save(const std::string& path, std::string_view concatenation,
                          std::int32_t numseq, const BlockParams& params,
                          const OutputSwitches& outputs) const {
  std::vector<std::int32_t> newpos = newpos_;
  newpos.push_back(length() + 1);
  OverviewData data = overview_of(concatenation, params);
  data.numseq = numseq;
  // b1 and b2 as the genes had them: a range when they differ (joined by name).
  for (OverviewParameter& parameter : data.parameters) {
    const bool b1 = parameter.key == kConservedName.key;
    if (!b1 && parameter.key != kFlankName.key) continue;
    const auto value = b1 ? &OverviewGene::negval : &OverviewGene::flankval;
    std::int32_t lo = params.*(b1 ? &BlockParams::negval : &BlockParams::flankval);
    std::int32_t hi = lo;
    for (const auto* genes : {&genes_, &empty_genes_}) {
      for (const OverviewGene& gene : *genes) {
        lo = std::min(lo, gene.*value);
        hi = std::max(hi, gene.*value);
      }
    }
    if (lo != hi) {
      parameter.value = std::to_string(lo) + "\xE2\x80\x93" + std::to_string(hi) + " (per gene)";
    }
  }
  data.nupo = length();
  data.shares = shares_;
  data.newpos = newpos;
  data.newtopos = static_cast<std::int32_t>(newpos_.size()) - 1;
  data.selected = length();
  data.selected_percent = length() > 0 ? 100 : 0;
  data.genes = genes_;
  data.empty_genes = empty_genes_;
  write_svg(path, outputs, data);
}

}  // namespace selvane
