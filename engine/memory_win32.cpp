#include <windows.h>

#include "engine/memory_platform.h"

namespace vevidav::platform {

void* HeapAllocate(std::size_t size) noexcept { return ::HeapAlloc(GetProcessHeap(), 0, size); }

void HeapFree(void* block) noexcept {
  if (block != nullptr) ::HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace vevidav::platform
