#include "output/overview.h"

#include <algorithm>
#include <utility>

#include "core/fatal.h"
#include "core/output_file.h"
#include "core/path_split.h"
#include "output/parameter_names.h"

namespace selvane {

OverviewCounts overview_counts(const Alignment& aln, const BlockParams& params,
                               const Classification& cls, std::span<const std::int32_t> gaps) {
  return {cls.val, cls.excluded_val, gaps, aln.numseq,
          gap_limit(params.tog_gaps, params.initnegval, aln.numseq)};
}

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
  const std::vector<OverviewShare> shares = allocating("overview", [&] {
    return overview_shares(overview_counts(aln, params, cls, gaps), aln.nupo);
  });
  OverviewData data = overview_of(fichero1, params);
  data.numseq = aln.numseq;
  data.nupo = aln.nupo;
  data.shares = shares;
  data.blocks = blocks.newpos;
  write_svg(path, outputs, data);
}

void BlocksOverview::append(std::string_view fichero1, const Alignment& aln,
                            const BlockParams& params, const Classification& cls,
                            const Blocks& blocks, std::span<const std::int32_t> gaps) {
  const std::int32_t start = length() + 1;
  const OverviewCounts counts = overview_counts(aln, params, cls, gaps);
  allocating("overview", [&] {
    // Grown, not reserved to the exact size gene by gene: that would copy every position
    // joined so far once per gene, and a batch of many genes would take quadratic time.
    for (const Span& block : blocks.newpos) {
      if (block.empty()) continue;  // a codon block left without a whole codon adds nothing
      blocks_.push_back({length() + 1, length() + block.length()});
      for (std::int32_t p = block.first; p <= block.last; ++p) {
        shares_.push_back(counts.share(static_cast<std::size_t>(p)));
      }
    }
    OverviewGene gene{
        getpath(fichero1).name_file, start, length(), aln.numseq, params.negval, params.flankval};
    (gene.last >= start ? genes_ : empty_genes_).push_back(std::move(gene));
  });
}

void BlocksOverview::save(const std::string& path, std::string_view concatenation,
                          std::int32_t numseq, const BlockParams& params,
                          const OutputSwitches& outputs, const TaxaOverview* taxa) const {
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
  std::vector<OverviewShare> of_taxa;  // joined by taxon: the gaps over the file's taxa
  if (taxa != nullptr && taxa->gaps.size() == shares_.size()) {
    of_taxa = allocating("overview", [&] { return shares_; });
    const float per_taxon = 1.0f / static_cast<float>(std::max(numseq, 1));
    for (std::size_t p = 1; p < of_taxa.size(); ++p) {
      of_taxa[p].gaps = static_cast<float>(taxa->gaps[p]) * per_taxon;
    }
    data.shares = of_taxa;
    data.taxa = true;
    data.occupancy = &taxa->occupancy;
  }
  data.blocks = blocks_;
  data.genes = genes_;
  data.empty_genes = empty_genes_;
  write_svg(path, outputs, data);
}

}  // namespace selvane
