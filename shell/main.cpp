// Vevidav.exe: the window program.
#include <windows.h>

#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // A drive that cannot be reached comes back to the caller as an error, not as a system box.
  SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  int status = vevidav::shell::StartProgram();
  vevidav::shell::EndProgram(status);
  return status;
}
