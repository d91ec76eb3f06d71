#include "USystemDll.h"

#include <commctrl.h>

#include "UPaths.h"

namespace tolvex {

namespace {

// Set once at start and never undone: the process's loader keeps it as long.
bool g_searchRestricted = false;

}  // namespace

HMODULE LoadSystemDll(const char* name) {
  // Without the folder there is no safe place to load from: the bare name would search
  // the program's own folder first.
  std::string dir = WindowsSystemDir();
  if (dir.empty()) return nullptr;
  return LoadLibraryA((dir + "\\" + name).c_str());
}

bool RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto set = ProcAddress<SetDefaultDllDirectoriesFn>(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  // The system DLLs this process uses load their own helpers by bare names as well.
  g_searchRestricted = set && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return g_searchRestricted;
}

HMODULE LoadInstalledDll(const std::string& path) {
  // A COM server often needs a DLL installed beside it. With the process's search
  // restricted to the system folder that is asked for explicitly; elsewhere the altered
  // order puts the server's own folder where this program's would be.
  if (g_searchRestricted)
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

const VersionApi& Version() {
  // Never freed: every copy decision asks for versions until the program ends.
  static const VersionApi api = [] {
    VersionApi a;
    HMODULE m = LoadSystemDll("version.dll");
    a.getFileVersionInfoSize = ProcAddress<decltype(a.getFileVersionInfoSize)>(m, "GetFileVersionInfoSizeA");
    a.getFileVersionInfo = ProcAddress<decltype(a.getFileVersionInfo)>(m, "GetFileVersionInfoA");
    a.verQueryValue = ProcAddress<decltype(a.verQueryValue)>(m, "VerQueryValueA");
    return a;
  }();
  return api;
}

void InitControlClasses(DWORD classes) {
  using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  // comctl32 is in the process already (InitCommonControls is imported), and under the
  // program's manifest this is the version the manifest chose.
  auto initEx = ProcAddress<InitExFn>(GetModuleHandleA("comctl32.dll"), "InitCommonControlsEx");
  INITCOMMONCONTROLSEX icc = {sizeof icc, classes};
  if (!initEx || !initEx(&icc)) InitCommonControls();
}

}  // namespace tolvex
