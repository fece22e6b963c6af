#pragma once
// Memory for result values (texts, byte buffers, arrays) comes from the process heap. When it
// cannot be had, the program ends through the runtime error report with the size asked for.
#include <cstddef>
#include <new>

namespace vevidav {

// Returns `size` bytes from the process heap, or ends the program with the memory failure report.
void* AllocateResult(std::size_t size);
void FreeResult(void* block) noexcept;
// As AllocateResult, but gives nullptr instead of ending the program (the whole-file read uses it).
void* TryAllocateResult(std::size_t size) noexcept;

template <class T>
struct ResultAllocator {
  using value_type = T;
  ResultAllocator() noexcept = default;
  template <class U>
  ResultAllocator(const ResultAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    // An overflowing size is asked for as the largest one, so the report still names a size.
    std::size_t bytes =
        n > static_cast<std::size_t>(-1) / sizeof(T) ? static_cast<std::size_t>(-1) : n * sizeof(T);
    return static_cast<T*>(AllocateResult(bytes));
  }
  void deallocate(T* p, std::size_t) noexcept { FreeResult(p); }

  template <class U>
  bool operator==(const ResultAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace vevidav
