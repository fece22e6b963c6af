#pragma once
// What message.cpp asks of the platform half (message_win32.cpp or message_posix.cpp).
namespace vevidav::platform {

// `text` is zero-terminated; `style` is what the box receives (MessageBoxStyle already applied).
void ShowMessageBox(const char* text, int style);
void ShowRuntimeErrorBox(const char* text);
[[noreturn]] void EndProcessWithFailure();

}  // namespace vevidav::platform
