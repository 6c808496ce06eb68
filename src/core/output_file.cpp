#include "core/output_file.h"

namespace selvane {

Writer create_output_file(const std::string& path, const OutputSwitches& outputs) {
  return Writer::create(path, outputs.posix_exit);
}

}  // namespace selvane
