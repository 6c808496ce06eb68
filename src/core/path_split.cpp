#include "core/path_split.h"

namespace selvane {

PathParts getpath(std::string_view path) {
  const std::size_t slash = path.rfind(kSeparator);
  const std::size_t k = slash == std::string_view::npos ? 0 : slash + 1;
  return PathParts{std::string(path.substr(0, k)), std::string(path.substr(k))};
}

}  // namespace selvane
