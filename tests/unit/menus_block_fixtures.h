// What the block menu's tests share: an open alignment or paths file, and the end of the screen.
#pragma once

#include <string>

#include "core/run_state.h"

namespace selvane::testing {

// An open single alignment of `numseq` sequences with its derived b1 and b2.
inline RunState with_alignment(char seq_type = 'P', int numseq = 10) {
  RunState st;
  st.input.filename = "aln.fas";
  st.input.first_path = "aln.fas";
  st.params.seq_type = static_cast<SeqType>(seq_type);
  st.input.fileformat = InputFormat::kFasta;
  st.input.numseq = numseq;
  apply_sequence_count_defaults(st.params, numseq);
  return st;
}

inline RunState with_paths_file() {
  RunState st = with_alignment('P', 10);
  st.input.filename = "list.txt";
  st.input.tog_sb = 1;
  st.input.numal = 3;
  return st;
}

// What the menu printed between the answer to its first prompt and its next screen: the echo
// of the choice and the whole dialog that followed it.
inline std::string first_dialog(const std::string& output) {
  const std::string choice = "Your Choice: ";
  const auto start = output.find(choice);
  if (start == std::string::npos) return "<no menu>";
  const auto from = start + choice.size();
  const auto next = output.find("BLOCK PARAMETERS", from);
  return output.substr(from, next == std::string::npos ? std::string::npos : next - from);
}

inline const std::string kTail =
    "\n\nr. Restore Defaults"
    "\ng. Get Blocks"
    "\n\nz. Extended Block Options"
    "\nm. Go To Main Menu"
    "\n\n\nYour Choice: ";

}  // namespace selvane::testing
