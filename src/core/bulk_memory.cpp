#include "core/bulk_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

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
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

BulkBytes::~BulkBytes() {
  std::free(data_);
}

void BulkBytes::grow(std::size_t capacity) {
  char* grown = nullptr;
  if (capacity_ >= kHugePageSize) {
    // The C library moves a large block by remapping its pages: its bytes are not copied, and
    // the old and the new block are never both in memory.
    grown = static_cast<char*>(std::realloc(data_, capacity));
  } else {
    if (capacity >= kHugePageSize) {
      capacity = (capacity + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
      grown = static_cast<char*>(std::aligned_alloc(kHugePageSize, capacity));
    } else {
      grown = static_cast<char*>(std::malloc(capacity));
    }
    if (grown != nullptr && size_ > 0) std::memcpy(grown, data_, size_);
    if (grown != nullptr) std::free(data_);
  }
  if (grown == nullptr) throw std::bad_alloc();
  data_ = grown;
  capacity_ = capacity;
  if (capacity_ >= kHugePageSize) advise_huge_pages(data_, capacity_);
}

}  // namespace selvane
