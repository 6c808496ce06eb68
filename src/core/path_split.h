// Splitting a path into its directory part and its name part.
#pragma once

#include <string>
#include <string_view>

namespace selvane {

// '/' is the only character that separates directories.
inline constexpr char kSeparator = '/';

struct PathParts {
  std::string path_file;  // up to and including the last '/'; empty when there is none
  std::string name_file;  // after the last '/'
};

// Splits a path at its last '/'.
PathParts getpath(std::string_view path);

}  // namespace selvane
