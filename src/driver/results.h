// What a run found and wrote, alignment by alignment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/request.h"
#include "input/alignment.h"
#include "output/naming.h"
#include "selection/blocks.h"
#include "selection/classify.h"
#include "selection/sites.h"

namespace selvane {

// What the job of one alignment found and wrote. The results of every alignment stay to the end
// of the run, so they hold nothing that grows with the alignment's size (a batch of thousands of
// genes keeps the memory of its largest one): what is read per position or per sequence is taken
// from the job's own output (ProcessedAlignment) while the alignment is loaded.
struct AlignmentResults {
  Job job;
  std::int32_t numseq = 0;
  std::int32_t nupo = 0;                // positions after the all-gap columns were removed
  std::int32_t columns = 0;             // columns of the input as read
  std::optional<std::int32_t> nupoung;  // positions of the ungapped alignment, when it was built
  Blocks blocks;
  // The files written for the alignment, in order, as the naming rules give them
  // (final_output_path() says where each landed).
  std::vector<std::pair<OutputFile, std::string>> files;
  // With --summary: its sites, counted while it was loaded, and joined by taxon the taxa it
  // gives the concatenations (SummaryRow::taxa).
  std::optional<SiteStats> sites;
  std::optional<std::int32_t> taxa;
};

// What process() gives: the results, and what it derived from the alignment for the
// concatenations of a batch, to be dropped with the alignment once they have taken it.
struct ProcessedAlignment {
  AlignmentResults results;
  Classification cls;
  Rows newlet;                     // the ungapped alignment, when results.nupoung is set
  std::vector<std::int32_t> gaps;  // with --svg or --site-table: count_gaps()
};

// What a run did: the results of every alignment it processed, in order.
struct RunResults {
  std::vector<AlignmentResults> alignments;
};

}  // namespace selvane
