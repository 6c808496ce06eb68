// Placeholders until the writers land; this file is deleted then.
#include "driver/fatal.h"
#include "output/writers.h"

namespace selvane {
void saveseq(const std::string&, const RunState&, const Alignment&, const Blocks&) {
  fatal("\nnot built yet");
}
void saveviewfile(const std::string&, const RunState&, const Alignment&, const Classification&,
                  const Blocks&, const std::string&) {
  fatal("\nnot built yet");
}
void savemask(const std::string&, const RunState&, const Alignment&, const Classification&,
              const std::string&) {
  fatal("\nnot built yet");
}
void saveps(const std::string&, const RunState&, std::int32_t, const Blocks&) {
  fatal("\nnot built yet");
}
void savencb(const std::string&, const RunState&, const Alignment&, const Blocks&) {
  fatal("\nnot built yet");
}
void save_ung(const std::string&, const RunState&, const Alignment&, const Rows&) {
  fatal("\nnot built yet");
}
}  // namespace selvane
