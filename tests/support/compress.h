// gzip data for the tests of compressed inputs, made with zlib as gzip and bgzip make it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace selvane::testing {

// `text` as gzip data: one member, or one member per `piece` bytes of it (what `cat a.gz b.gz`
// gives). With `bgzf`, as bgzip writes it: every member carries the extra field "BC" with its
// own size less one, and an empty member ends the data.
std::string gzip(std::string_view text, std::size_t piece = 0, bool bgzf = false);

}  // namespace selvane::testing
