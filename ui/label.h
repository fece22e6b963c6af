#pragma once
// The self-painted label: button face, its text black in the default GUI font on one line, left
// and vertically centred, ampersands shown as themselves.
#include <windows.h>

namespace vevidav::ui {

// Registers the label's window class once and gives its name.
const char* LabelClassName();

}  // namespace vevidav::ui
