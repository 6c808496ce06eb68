#include "core/bulk_memory.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace selvane {

void advise_huge_pages(void* data, std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // The advice applies to whole pages: the ones that lie entirely inside the array.
  const long page = sysconf(_SC_PAGESIZE);
  if (page <= 0) return;
  const auto step = static_cast<std::uintptr_t>(page);
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + step - 1) / step * step;
  const std::uintptr_t last = (begin + size) / step * step;
  // A refusal (no huge pages in this kernel, or switched off) leaves the array as it was.
  if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  static_cast<void>(data);
  static_cast<void>(size);
#endif
}

}  // namespace selvane
