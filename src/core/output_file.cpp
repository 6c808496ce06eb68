#include "core/output_file.h"

namespace selvane {

std::string final_output_path(const std::string& path, const OutputSwitches& /*outputs*/) {
  return path;
}

Writer create_output_file(const std::string& path, const OutputSwitches& outputs) {
  return Writer::create(final_output_path(path, outputs));
}

}  // namespace selvane
