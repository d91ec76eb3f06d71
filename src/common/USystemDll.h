// Windows' own DLLs that the program loads itself, and the functions it takes from them
// at run time. A DLL named by its bare name is looked for beside the program first: on a
// CD copied to a share or in a download folder anyone could have put one there, and it
// would run with the installer's (an administrator's) rights. So each is loaded by the
// system folder's full path, and nothing that may be missing on the oldest Windows the
// program runs on is imported statically: such an import stops it before it starts.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex {

// Loads name from the system folder by its full path; null when it is not there. The
// folder is the one Windows reports, never the tests' stand-in folder (GetSystemDir):
// what is loaded runs inside this process.
HMODULE LoadSystemDll(const char* name);

// The function name of module, as the type Fn; null when the module or the function is
// missing (an older Windows), which the caller must allow for.
template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// From here on the process looks for DLLs named without a path in the system folder
// only, where Windows offers that (8 and later; Vista and 7 with their loader update).
// Called first thing at start. True when the search is now restricted.
bool RestrictDllSearch();

// Loads a DLL the install copied (a COM server to register) by its full path, so that
// the DLLs beside it that it needs are found there and not beside this program.
HMODULE LoadInstalledDll(const std::string& path);

// The version-resource functions, from the system folder's version.dll, loaded once and
// kept for the run. A member is null when the DLL or that function is missing.
struct VersionApi {
  DWORD(WINAPI* getFileVersionInfoSize)(LPCSTR file, LPDWORD handle) = nullptr;
  BOOL(WINAPI* getFileVersionInfo)(LPCSTR file, DWORD handle, DWORD size, LPVOID data) = nullptr;
  BOOL(WINAPI* verQueryValue)(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) = nullptr;
};
const VersionApi& Version();

// Registers the common-control window classes the caller needs (ICC_* flags). Windows 95
// and NT 4.0 without a later Internet Explorer have a comctl32 without
// InitCommonControlsEx; there every class it knows is registered at once.
void InitControlClasses(DWORD classes);

}  // namespace tolvex
