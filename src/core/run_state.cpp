#include "core/run_state.h"

namespace selvane {

std::string_view type_name(SeqType seq_type) {
  switch (seq_type) {
    case SeqType::kProtein:
      return "Protein";
    case SeqType::kDna:
      return "DNA";
    case SeqType::kCodons:
      return "Codons";
    case SeqType::kUnknown:
      break;
  }
  return {};
}

std::string_view gap_policy_name(GapPolicy tog_gaps) {
  switch (tog_gaps) {
    case GapPolicy::kNone:
      return "None";
    case GapPolicy::kWithHalf:
      return "With Half";
    case GapPolicy::kAll:
      return "All";
  }
  return {};
}

void apply_startup_defaults(RunState& st) {
  st = RunState{};
}

void apply_sequence_count_defaults(BlockParams& params, std::int32_t numseq) {
  params.initnegval = numseq / 2 + 1;
  params.negval = params.initnegval;
  // 64-bit product: numseq * 85 must not overflow for very large alignments.
  params.flankval = static_cast<std::int32_t>(static_cast<std::int64_t>(numseq) * 85 / 100);
  if (params.flankval == 1) params.flankval = 2;
}

}  // namespace selvane
