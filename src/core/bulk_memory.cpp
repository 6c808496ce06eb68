#include "core/bulk_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

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

namespace {

// A large array is a mapping of its own, aligned to a huge page, which the system grows by
// moving its pages (mremap), never by copying them; a small one lives on the heap.
bool mapped(std::size_t capacity) {
#if defined(__linux__)
  return capacity >= kHugePageSize;
#else
  static_cast<void>(capacity);
  return false;
#endif
}

void release(char* data, std::size_t capacity) noexcept {
#if defined(__linux__)
  if (mapped(capacity)) {
    ::munmap(data, capacity);
    return;
  }
#else
  static_cast<void>(capacity);
#endif
  std::free(data);
}

#if defined(__linux__)
// `size` bytes (a multiple of kHugePageSize) mapped at an address aligned to kHugePageSize.
char* map_aligned(std::size_t size) {
  void* start = ::mmap(nullptr, size + kHugePageSize, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED) throw std::bad_alloc();
  const auto begin = reinterpret_cast<std::uintptr_t>(start);
  const std::uintptr_t aligned = (begin + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
  if (aligned > begin) ::munmap(start, aligned - begin);
  const std::uintptr_t end = begin + size + kHugePageSize;
  if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  return reinterpret_cast<char*>(aligned);
}
#endif

}  // namespace

BulkBytes::BulkBytes(std::size_t n, char c) {
  resize(n);
  if (n > 0) std::memset(data_, c, n);
}

BulkBytes::BulkBytes(const BulkBytes& other) {
  reserve(other.size_);
  if (other.size_ > 0) std::memcpy(data_, other.data_, other.size_);
  size_ = other.size_;
}

BulkBytes& BulkBytes::operator=(const BulkBytes& other) {
  if (this != &other) *this = BulkBytes(other);
  return *this;
}

BulkBytes::BulkBytes(BulkBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

BulkBytes& BulkBytes::operator=(BulkBytes&& other) noexcept {
  if (this != &other) {
    release(data_, capacity_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

BulkBytes::~BulkBytes() {
  release(data_, capacity_);
}

void BulkBytes::grow(std::size_t capacity) {
  char* grown = nullptr;
#if defined(__linux__)
  if (mapped(capacity)) {
    capacity = (capacity + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
    if (mapped(capacity_)) {
      // The pages move to the larger mapping: the bytes are not copied, and the old and the new
      // array are never both in memory.
      void* moved = ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
      if (moved == MAP_FAILED) throw std::bad_alloc();
      grown = static_cast<char*>(moved);
      advise_huge_pages(grown, capacity);
    } else {
      // Advised before the copy writes its first pages: else they come as small pages.
      grown = map_aligned(capacity);
      advise_huge_pages(grown, capacity);
      if (size_ > 0) std::memcpy(grown, data_, size_);
      std::free(data_);
    }
    data_ = grown;
    capacity_ = capacity;
    return;
  }
#endif
  grown = static_cast<char*>(std::realloc(data_, capacity));
  if (grown == nullptr) throw std::bad_alloc();
  data_ = grown;
  capacity_ = capacity;
}

}  // namespace selvane
