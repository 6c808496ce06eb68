// The PNG encoder of the raster parts of the SVG overview: an image of palette indexes, stored
// as a data: URI that every SVG viewer shows.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace selvane {

using Rgb = std::array<std::uint8_t, 3>;

// The PNG file of a `width` x `height` image whose pixels (row after row, `width` * `height` of
// them) are indexes into `palette` (at most 256 colours), compressed by zlib at its best level.
std::string encode_png(std::int32_t width, std::int32_t height,
                       std::span<const std::uint8_t> pixels, std::span<const Rgb> palette);

// `bytes` in base64 (RFC 4648, with padding).
std::string base64(std::string_view bytes);

}  // namespace selvane
