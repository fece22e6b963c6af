// Without a window system the boxes become lines on stderr, in the texts' own bytes.
#include <cstdio>
#include <cstdlib>

#include "engine/message_platform.h"

namespace vevidav::platform {

void ShowMessageBox(const char* text, int /*style*/) {
  std::fprintf(stderr, "\xD0\xC5\xCF\xA2\xA3\xBA %s\n", text);  // 信息：
}

void ShowRuntimeErrorBox(const char* text) {
  std::fprintf(stderr, "\xB4\xED\xCE\xF3\n%s", text);  // 错误
}

void EndProcessWithFailure() {
  std::fflush(nullptr);
  std::_Exit(-1);
}

}  // namespace vevidav::platform
