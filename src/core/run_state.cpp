#include "core/run_state.h"

namespace selvane {

std::string_view type_name(char seq_type) {
  switch (seq_type) {
    case 'P':
      return "Protein";
    case 'D':
      return "DNA";
    case 'C':
      return "Codons";
    default:
      return {};
  }
}

std::string_view gap_policy_name(std::int32_t tog_gaps) {
  switch (tog_gaps) {
    case 1:
      return "None";
    case 2:
      return "With Half";
    case 3:
      return "All";
    default:
      return {};
  }
}

void apply_startup_defaults(RunState& st) {
  st = RunState{};
}

void apply_sequence_count_defaults(RunState& st, std::int32_t numseq) {
  st.initnegval = numseq / 2 + 1;
  st.negval = st.initnegval;
  // 64-bit product: numseq * 85 must not overflow for very large alignments.
  st.flankval = static_cast<std::int32_t>(static_cast<std::int64_t>(numseq) * 85 / 100);
  if (st.flankval == 1) st.flankval = 2;
}

}  // namespace selvane
