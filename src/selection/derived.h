// The selection line and the ungapped alignment, built only when an output needs them.
#pragma once

#include <cstdint>
#include <string>

#include "input/alignment.h"
#include "selection/blocks.h"
#include "selection/classify.h"

namespace selvane {

// One character per position, index 1..nupo (index 0 holds nothing): '#' inside a selected
// block, '.' elsewhere.
std::string makeletselvane(const Blocks& blocks, std::int32_t nupo);

// The alignment reduced to the positions where no sequence holds '-'; its width is nupoung.
Rows ungap(const Alignment& aln);

}  // namespace selvane
