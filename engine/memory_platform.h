#pragma once
#include <cstddef>

namespace vevidav::platform {

// nullptr when the heap cannot give `size` bytes (a size of 0 still gives a block).
void* HeapAllocate(std::size_t size) noexcept;
void HeapFree(void* block) noexcept;

}  // namespace vevidav::platform
