#include <windows.h>

#include "UPaths.h"
#include "UProgram.h"
#include "USystemDll.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything could load a DLL by its bare name from the program's folder.
  tolvex::RestrictDllSearch();
  // A failing drive (an empty CD-ROM) must give our own message, not a system box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return tolvex::RunProgram(GetCommandLineA(), tolvex::ModulePath());
}
