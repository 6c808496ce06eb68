// Memory for arrays of plain values (the rows of an alignment, counts) shaped for the way they
// are filled: front to back, right after they grow.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace selvane {

// Size of a huge page where the system offers them, and the size from which an array asks for
// them: smaller arrays would gain nothing and waste most of a page.
inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// Asks the system to back [data, data + size) with huge pages. Filling a large array through
// small pages costs a page fault per 4 KiB, and reading it a TLB miss per 4 KiB; huge pages
// cost one per 2 MiB. Only a request: it does nothing where the system has no such call, and
// nothing is lost when the system refuses.
void advise_huge_pages(void* data, std::size_t size);

// Asks for the memory at `address` to be brought into the cache ahead of its reading, for loops
// that jump from row to row faster than the processor can guess. Only a hint: it does nothing
// where the compiler offers none.
inline void prefetch(const void* address) {
#if defined(__GNUC__)
  __builtin_prefetch(address);
#else
  static_cast<void>(address);
#endif
}

// An allocator for arrays of plain values that are written right after they grow:
// - growing (resize) leaves the new elements uninitialised instead of zeroing them first;
//   a value given explicitly (resize(n, c), push_back) is written as usual;
// - an allocation of at least kHugePageSize is aligned to it and advised to use huge pages.
template <class T>
class BulkAllocator {
 public:
  using value_type = T;

  BulkAllocator() = default;
  template <class U>
  BulkAllocator(const BulkAllocator<U>&) noexcept {}  // converting, like std::allocator's

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kHugePageSize) return static_cast<T*>(::operator new(bytes));
    void* data = ::operator new (bytes, std::align_val_t{kHugePageSize});
    advise_huge_pages(data, bytes);
    return static_cast<T*>(data);
  }

  // Unsized: clang declares the sized forms only with -fsized-deallocation.
  void deallocate(T* data, std::size_t n) noexcept {
    if (n * sizeof(T) < kHugePageSize) {
      ::operator delete(data);
    } else {
      ::operator delete (data, std::align_val_t{kHugePageSize});
    }
  }

  // Default-initialisation: for plain values, nothing is written.
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <class U>
  bool operator==(const BulkAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace selvane
