#include "engine/memory.h"

#include <cstdio>

#include "engine/memory_platform.h"
#include "engine/message.h"

namespace vevidav {

void* AllocateResult(std::size_t size) {
  if (void* block = TryAllocateResult(size)) return block;
  char message[96];
  // 分配 %d 字节内存失败!
  int n = std::snprintf(message, sizeof message,
                        "\xB7\xD6\xC5\xE4 %lld \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!",
                        static_cast<long long>(size));
  ReportRuntimeError(std::string_view(message, static_cast<std::size_t>(n)), 0, 0, 0);
}

void* TryAllocateResult(std::size_t size) noexcept { return platform::HeapAllocate(size); }

void FreeResult(void* block) noexcept { platform::HeapFree(block); }

}  // namespace vevidav
