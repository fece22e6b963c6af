#pragma once
// The program shell: start-up, the window registry and message loops, exit routines, the orderly
// end and the fatal end.
#include <windows.h>

#include <string_view>

#include "engine/text.h"
#include "ui/main_window.h"

namespace vevidav::shell {

using ExitRoutine = void (*)();

// The start routine: prepares the shell, loads the main window and waits until it is gone.
// Returns 0; the caller then runs EndProgram and ends the process.
int StartProgram();
// OLE, the run directory as the current directory, the hidden owner window, the window
// descriptions, and FatalEnd as the engine's fatal end.
void InitializeShell();
// Adds a routine that a normal end runs, unless it is listed already.
void RegisterExitRoutine(ExitRoutine routine);
// Creates and shows the described window. In dialog style the parent is ignored, the window is
// owned by the hidden owner window, and a visible window runs a nested loop until it is gone.
// False when there is no such description or the window cannot be created.
bool LoadWindow(std::string_view name, HWND parent, bool dialog_style);
// Pumps messages until WM_QUIT; returns at once when no window is up.
void RunMessageLoop();
// The program's exit routine: releases the selected path.
void FreeSelectedPath();
// The orderly end: windows released, exit routines run, the owner window destroyed, OLE shut down.
void EndProgram(int status);
// After the runtime error box: the exit routines dropped unrun, EndProgram(-1), exit status -1.
[[noreturn]] void FatalEnd();

// The program's one global, which file selection writes.
Text& SelectedPath();
// The owner of every window loaded in dialog style (nullptr outside InitializeShell..EndProgram).
HWND HiddenOwnerWindow();
// The live window loaded from description `name`, if it is up.
ui::MainWindow* LiveWindow(std::string_view name);

}  // namespace vevidav::shell
