#include <windows.h>

#include "UCodePage.h"
#include "UPaths.h"
#include "UProgram.h"
#include "USystemDll.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything could load a DLL by its bare name from the program's folder.
  tolvex::RestrictDllSearch();
  // A failing drive (an empty CD-ROM) must give our own message, not a system box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // In the East Asian code pages the second byte of a character may be a backslash: the
  // text helpers learn where characters begin before the first path is cut.
  CPINFO codePage;
  if (GetCPInfo(CP_ACP, &codePage)) tolvex::SetLeadByteRanges(codePage.LeadByte);
  return tolvex::RunProgram(GetCommandLineA(), tolvex::ModulePath());
}
