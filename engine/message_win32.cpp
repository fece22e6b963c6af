#include <windows.h>

#include "engine/message_platform.h"

namespace vevidav::platform {

void ShowMessageBox(const char* text, int style) {
  MessageBoxA(nullptr, text, "\xD0\xC5\xCF\xA2\xA3\xBA", static_cast<UINT>(style));  // 信息：
}

void ShowRuntimeErrorBox(const char* text) {
  MessageBoxA(nullptr, text, "\xB4\xED\xCE\xF3", MB_OK | MB_ICONERROR);  // 错误
}

void EndProcessWithFailure() { ExitProcess(static_cast<UINT>(-1)); }

}  // namespace vevidav::platform
