#include "USystemDll.h"

#include <commctrl.h>

#include "UText.h"

namespace tolvex {

namespace {

bool g_searchRestricted = false;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

std::string TrueSystemDir() {
  char buf[MAX_PATH];
  UINT n = GetSystemDirectoryA(buf, MAX_PATH);
  return n && n < MAX_PATH ? RemoveTrailingBackslashes(std::string(buf, n)) : std::string();
}

}  // namespace

HMODULE LoadSystemDll(const char* name) {
  // Without the folder there is no safe place to load from: the bare name would search
  // the program's own folder first.
  std::string dir = TrueSystemDir();
  if (dir.empty()) return nullptr;
  return LoadLibraryA((dir + "\\" + name).c_str());
}

bool RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto set = Lookup<SetDefaultDllDirectoriesFn>(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
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
    a.getFileVersionInfoSize = Lookup<decltype(a.getFileVersionInfoSize)>(m, "GetFileVersionInfoSizeA");
    a.getFileVersionInfo = Lookup<decltype(a.getFileVersionInfo)>(m, "GetFileVersionInfoA");
    a.verQueryValue = Lookup<decltype(a.verQueryValue)>(m, "VerQueryValueA");
    return a;
  }();
  return api;
}

void InitControlClasses(DWORD classes) {
  using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  // comctl32 is in the process already (InitCommonControls is imported), and under the
  // program's manifest this is the version the manifest chose.
  auto initEx = Lookup<InitExFn>(GetModuleHandleA("comctl32.dll"), "InitCommonControlsEx");
  INITCOMMONCONTROLSEX icc = {sizeof icc, classes};
  if (!initEx || !initEx(&icc)) InitCommonControls();
}

}  // namespace tolvex
