// Text and numbers written into the SVG overview: XML-safe text and locale-free numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace selvane::svg {

// Appends `text` as XML character data or attribute value: & < > " ' become references, and
// bytes that XML 1.0 cannot carry (control characters, malformed UTF-8) become U+FFFD, so a
// file name of any bytes still gives a well-formed document.
void put_text(std::string& out, std::string_view text);

// Appends `value` rounded to `decimals` (0 to 3) places, without trailing zeros or a '.' when
// none remain, and without a sign for zero: 12.5, 3, -0.25.
void put_number(std::string& out, double value, int decimals = 1);

// Appends an integer in plain decimal.
void put_int(std::string& out, std::int64_t value);

// Appends an integer with commas between groups of three digits: 1,000,000.
void put_grouped(std::string& out, std::int64_t value);

// Rough width of a text in pixels, enough to decide whether a label fits.
double text_width(std::string_view text, double font_size);

// Opens <text x y attributes> (the caller closes it).
void open_text(std::string& out, double x, double y, std::string_view attributes = {});

// Opens <rect x y width height (the caller closes it).
void put_rect(std::string& out, double x, double y, double width, double height);

// "12–40", or "12" when first == last; grouped digits.
void put_range(std::string& out, std::int64_t first, std::int64_t last);

// "before first–last after", the text of a hover title.
void put_title(std::string& out, std::string_view before, std::int64_t first, std::int64_t last,
               std::string_view after = {});

// n followed by `one` or `many`: "1 block", "3 blocks".
void put_count(std::string& out, std::int64_t n, std::string_view one, std::string_view many);

}  // namespace selvane::svg
