#include "URights.h"

#include "ULog.h"
#include "UPaths.h"
#include "URunState.h"
#include "UText.h"
#include "UWinHandle.h"
#include "USystemDll.h"

namespace tolvex {

static OpenSCManagerFn g_openSCManager = nullptr;

void SetOpenSCManagerForTesting(OpenSCManagerFn fn) { g_openSCManager = fn; }
static const bool kServiceSeamRegistered = RegisterStateReset([] { g_openSCManager = nullptr; });

bool IsNtPlatform() {
  OSVERSIONINFOA vi;
  ZeroMemory(&vi, sizeof vi);
  vi.dwOSVersionInfoSize = sizeof vi;
  return GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsAdministrator() {
  if (!IsNtPlatform()) return true;
  // The service manager is NT's alone: looked up, so the program still loads on 9x.
  OpenSCManagerFn open = g_openSCManager;
  HMODULE advapi = GetModuleHandleA("advapi32.dll");
  if (!open) open = ProcAddress<OpenSCManagerFn>(advapi, "OpenSCManagerA");
  using CloseFn = ScopedServiceHandle::CloseFn;
  CloseFn close = ProcAddress<CloseFn>(advapi, "CloseServiceHandle");
  if (!open) {
    LogLine("** Error: the service manager cannot be asked for administrator rights: advapi32.dll has no OpenSCManagerA");
    return false;
  }
  ScopedServiceHandle scm(open(nullptr, nullptr, GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE), close);
  // Access denied is the answer "not an administrator"; any other failure is not, and the
  // log must say what it was.
  DWORD err = scm ? ERROR_SUCCESS : GetLastError();
  if (!scm && err != ERROR_ACCESS_DENIED)
    LogError("the service manager could not be opened to test for administrator rights", err);
  return static_cast<bool>(scm);
}

std::string WritabilityProbeFolder(const std::string& folder) {
  std::string path = RemoveTrailingBackslashes(folder);
  if (!FolderExists(path)) {
    if (path.size() == 1) path += ":";
    else if (path.size() > 2) path = ExtractDrive(path);
  }
  return path;
}

bool CanWriteToFolder(const std::string& folder) {
  if (folder.empty()) return false;
  return ProbeFileCanBeCreated(WritabilityProbeFolder(folder));
}

}  // namespace tolvex
