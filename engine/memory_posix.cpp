#include <cstdlib>

#include "engine/memory_platform.h"

namespace vevidav::platform {

void* HeapAllocate(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }

void HeapFree(void* block) noexcept { std::free(block); }

}  // namespace vevidav::platform
