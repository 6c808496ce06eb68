// The SVG overview files (--svg): the overview of one alignment run, and the overview of the
// concatenated selected blocks of a batch, gathered alignment by alignment while it runs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "input/alignment.h"
#include "output/svg.h"
#include "selection/blocks.h"
#include "selection/classify.h"

namespace selvane {

// The counts of `aln` the overview draws its positions from; `gaps` is count_gaps(aln).
OverviewCounts overview_counts(const Alignment& aln, const BlockParams& params,
                               const Classification& cls, std::span<const std::int32_t> gaps);

// The block parameters b0 to b6 as the overview lists them, named as the results file names them.
std::vector<OverviewParameter> overview_parameters(const BlockParams& params);

// The overview of the alignment `fichero1`, written to `path`; `gaps` is count_gaps(aln).
void saveoverview(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
                  std::string_view fichero1, const Alignment& aln, const Classification& cls,
                  const Blocks& blocks, std::span<const std::int32_t> gaps);

// What the overview of a concatenation joined by taxon draws of its taxa: the gaps at every
// position (entry 0 unused) counted over all the taxa of its file, a taxon missing from an
// alignment counting as a gap at each of that alignment's positions, and the heat map of where
// each taxon holds residues.
struct TaxaOverview {
  std::vector<std::int32_t> gaps;
  OverviewOccupancy occupancy;
};

// The overview of the concatenated selected blocks. Each alignment appended adds its selected
// positions in the order the concatenation joins them, each with its conservation value and
// its gaps as fractions of that alignment's own sequences, and becomes one gene named after its
// file, with its own number of sequences, b1 and b2 (they differ from gene to gene when the
// concatenation joins by name). Memory: about 12 bytes per concatenated position.
class BlocksOverview {
 public:
  // After the alignment `fichero1` was processed with `params`; `gaps` is count_gaps(aln).
  void append(std::string_view fichero1, const Alignment& aln, const BlockParams& params,
              const Classification& cls, const Blocks& blocks, std::span<const std::int32_t> gaps);

  std::int32_t length() const { return static_cast<std::int32_t>(shares_.size()) - 1; }

  // The overview written to `path`, titled with the name of the concatenated file, which holds
  // `numseq` sequences; `params` gives the settings every gene shares. Joined by taxon, `taxa`
  // gives what it draws of them: its gaps are then shares of the file's taxa.
  void save(const std::string& path, std::string_view concatenation, std::int32_t numseq,
            const BlockParams& params, const OutputSwitches& outputs,
            const TaxaOverview* taxa = nullptr) const;

 private:
  std::vector<OverviewShare> shares_{OverviewShare{}};  // positions 1..length(); entry 0 unused
  std::vector<Span> blocks_;  // the selected blocks, as positions of the concatenation
  std::vector<OverviewGene> genes_;
  std::vector<OverviewGene> empty_genes_;
};

}  // namespace selvane
