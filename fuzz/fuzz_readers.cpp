// Detection and every reader of the table of input formats on arbitrary file contents; what
// loads is classified and its blocks selected, as a run would.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <new>
#include <optional>

#include "core/fatal.h"
#include "core/run_state.h"
#include "input/detect.h"
#include "input/formats.h"
#include "input/readers.h"
#include "scratch.h"
#include "selection/blocks.h"
#include "selection/classify.h"
#include "selection/derived.h"

namespace {

using namespace selvane;

// Runs `step`; a fatal error is an answer like any other, anything else escapes to the fuzzer.
template <class F>
void answer(F&& step) {
  try {
    step();
  } catch (const FatalError&) {
  } catch (const std::bad_alloc&) {
  }
}

void select(const Alignment& aln, SeqType type, GapPolicy gaps) {
  BlockParams params;
  params.seq_type = type;
  params.tog_gaps = gaps;
  apply_sequence_count_defaults(params, aln.numseq);
  const Classification cls = assignval(aln, params);
  const Blocks blocks = getpos(cls, aln, params);
  makeletselvane(blocks, aln.nupo);
  ungap(aln);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::enter_scratch();
  {
    std::ofstream out("in", std::ios::binary | std::ios::trunc);
    const std::string text = fuzz::without_slashes(data, size);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  const SeqType types[] = {SeqType::kProtein, SeqType::kDna, SeqType::kCodons};
  const GapPolicy gaps[] = {GapPolicy::kNone, GapPolicy::kWithHalf, GapPolicy::kAll};
  int turn = size > 0 ? data[0] : 0;
  // As a run does: detection, then the load that reads on from the bytes it looked at; without
  // --in-format and with --in-format=auto, which tries every row of the table.
  for (const std::optional<InputFormat> in_format :
       {std::optional<InputFormat>(), std::optional(InputFormat::kNone)}) {
    answer([&] {
      Detection found = checkfiletype("in", in_format);
      if (!found.opened || found.paths_file) return;
      const Alignment aln = load(std::move(*found.first_alignment), found.format.format);
      select(aln, found.format.type == SeqType::kUnknown ? SeqType::kProtein : found.format.type,
             gaps[turn % 3]);
    });
  }
  answer([] { read_paths("in", 1000); });
  for (const InputFormatRow* row : input_formats()) {
    answer([&] {
      Alignment aln = load("in", row->format);
      // Codons keep their frame, as a run on codons does.
      if (types[turn % 3] == SeqType::kCodons) keep_codon_frame(aln);
      select(aln, types[turn % 3], gaps[(turn / 3) % 3]);
      ++turn;
    });
    answer([&] { read_names("in", row->format); });
  }
  fuzz::check_scratch({"in"}, true);
  return 0;
}
