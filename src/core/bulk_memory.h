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

// A growing array of bytes for data of unknown final size (the rows of an alignment read from a
// pipe or a decompressor), filled front to back: growing leaves the new bytes unwritten, and an
// array of at least kHugePageSize is a mapping of its own, aligned to and advised to use huge
// pages, that grows by moving its pages, not by copying them, so that it never holds its old
// and its new copy at once.
class BulkBytes {
 public:
  BulkBytes() = default;
  // `n` copies of `c`.
  BulkBytes(std::size_t n, char c);
  BulkBytes(const BulkBytes& other);
  BulkBytes& operator=(const BulkBytes& other);
  BulkBytes(BulkBytes&& other) noexcept;
  BulkBytes& operator=(BulkBytes&& other) noexcept;
  ~BulkBytes();

  char* data() { return data_; }
  const char* data() const { return data_; }
  char& operator[](std::size_t i) { return data_[i]; }
  char operator[](std::size_t i) const { return data_[i]; }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }

  // Room for `n` bytes in all, without growing again; throws std::bad_alloc.
  void reserve(std::size_t n) {
    if (n > capacity_) grow(n);
  }
  // Shrinking drops the bytes past `n`; growing leaves the new ones unwritten. The room grows
  // geometrically.
  void resize(std::size_t n) {
    if (n > capacity_) grow(n > 2 * capacity_ ? n : 2 * capacity_);
    size_ = n;
  }
  void push_back(char c) {
    if (size_ == capacity_) grow(capacity_ == 0 ? 64 : 2 * capacity_);
    data_[size_++] = c;
  }

 private:
  void grow(std::size_t capacity);

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace selvane
