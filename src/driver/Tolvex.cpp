#include <windows.h>

#include "UPaths.h"
#include "UProgram.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // A failing drive (an empty CD-ROM) must give our own message, not a system box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return tolvex::RunProgram(GetCommandLineA(), tolvex::ModulePath());
}
