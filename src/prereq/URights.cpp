#include "URights.h"

#include "UPaths.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex {

static OpenSCManagerFn g_openSCManager = nullptr;

void SetOpenSCManagerForTesting(OpenSCManagerFn fn) { g_openSCManager = fn; }

bool IsNtPlatform() {
  OSVERSIONINFOA vi;
  ZeroMemory(&vi, sizeof vi);
  vi.dwOSVersionInfoSize = sizeof vi;
  return GetVersionExA(&vi) && vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsAdministrator() {
  if (!IsNtPlatform()) return true;
  OpenSCManagerFn open = g_openSCManager ? g_openSCManager : &OpenSCManagerA;
  ScopedServiceHandle scm(open(nullptr, nullptr, GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE));
  return scm.IsValid();
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
