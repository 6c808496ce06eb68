// The block parameters as the reports name them, in one table: the results file lists them under
// "Parameters used" and the SVG overview beside their keys b0 to b6.
#pragma once

#include <string_view>

namespace selvane {

struct ParameterName {
  std::string_view key;   // "b1", as the options and the menus call it
  std::string_view name;  // the results file's wording
};

// clang-format off
inline constexpr ParameterName kConservedName = {"b1", "Minimum Number Of Sequences For A Conserved Position"};
inline constexpr ParameterName kFlankName = {"b2", "Minimum Number Of Sequences For A Flanking Position"};
inline constexpr ParameterName kNonconservedName = {"b3", "Maximum Number Of Contiguous Nonconserved Positions"};
inline constexpr ParameterName kInitialBlockName = {"b0", "Minimum Length Of An Initial Block"};
inline constexpr ParameterName kBlockName = {"b4", "Minimum Length Of A Block"};
inline constexpr ParameterName kGapsName = {"b5", "Allowed Gap Positions"};
inline constexpr ParameterName kSimilarityName = {"b6", "Use Similarity Matrices"};
// clang-format on

}  // namespace selvane
