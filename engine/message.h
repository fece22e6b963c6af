#pragma once
// Message boxes and the fatal error report. The Windows build shows real message boxes; the
// console build writes to stderr; tests put a recorder in their place.
#include <string_view>

#include "engine/text.h"

namespace vevidav {

inline constexpr int kStyleExclamation = 48;  // MB_ICONEXCLAMATION

// The style MessageBoxA receives: MB_TASKMODAL (0x2000) added unless MB_SYSTEMMODAL (0x1000) is
// set.
int MessageBoxStyle(int style);
// Shows `message` with the caption "信息：", no owner, and waits until it is closed.
void ShowMessage(const Text& message, int style);

// The text of the runtime error box.
Text RuntimeErrorText(const Text& message, int code, int place1, int place2);
// Shows the runtime error box (caption "错误", MB_OK | MB_ICONERROR, no owner), then ends the
// process with exit status -1 through the fatal-end hook. It takes no memory of its own, so it can
// report that memory ran out.
[[noreturn]] void ReportRuntimeError(std::string_view message, int code, int place1, int place2);

// Replaces how ShowMessage shows its box (nullptr restores the platform's own). The hook gets the
// message and the style as the caller gave it.
using ShowMessageHook = void (*)(const Text& message, int style);
void SetShowMessageHook(ShowMessageHook hook);

// What runs after the runtime error box is closed. It must end the process; the program shell
// installs its fatal end here. Until then the process just ends with exit status -1.
using FatalEndHook = void (*)();
void SetFatalEndHook(FatalEndHook hook);

}  // namespace vevidav
