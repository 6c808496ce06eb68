// Checks of the SVG documents the program writes: well-formed XML, and a render by librsvg.
#pragma once

#include <filesystem>
#include <string>

namespace selvane::testing {

// Empty when `doc` is well-formed, else what is wrong and where.
std::string xml_error(const std::string& doc);

// Whether rsvg-convert (Debian librsvg2-bin) is installed; tests that render skip without it.
bool rsvg_available();

// Renders `svg` to a PNG beside it with rsvg-convert; true when it exits with 0 and writes a PNG.
bool renders_with_rsvg(const std::filesystem::path& svg);

}  // namespace selvane::testing
