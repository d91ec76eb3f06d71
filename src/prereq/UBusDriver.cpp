#include "UBusDriver.h"

#include <windows.h>

#include "ULog.h"
#include "UInstallParams.h"
#include "UMessages.h"
#include "UPaths.h"
#include "URegistry.h"
#include "URunState.h"
#include "USystemDll.h"

namespace tolvex {

namespace {

const char kDriverFile[] = "KelvorSimpleGpib.sys";
const char kServiceKey[] = "SYSTEM\\CurrentControlSet\\Services\\KelvorSimpleGpib";

BusDriverState g_state;

// A "Group" value marks the service as written by an earlier run. One stored as a number
// counts too: its decimal text is never empty.
bool GroupValuePresent() {
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, kServiceKey, "Group").empty()) return true;
  DWORD number = 0;
  return ReadRegDword(HKEY_LOCAL_MACHINE, kServiceKey, "Group", number);
}

// A value that cannot be written is logged, without a box, and the rest are still written.
void WriteServiceValue(const std::string& key, const char* name, DWORD number) {
  LONG rc = WriteRegDword(HKEY_LOCAL_MACHINE, key, name, number);
  if (rc != ERROR_SUCCESS)
    LogError(Format("cannot write HKEY_LOCAL_MACHINE\\%s %s", {key, name}), static_cast<unsigned long>(rc));
}

void WriteServiceValues() {
  const std::string params = std::string(kServiceKey) + "\\Parameters";
  WriteServiceValue(kServiceKey, "Type", SERVICE_KERNEL_DRIVER);
  WriteServiceValue(kServiceKey, "Start", SERVICE_AUTO_START);
  LONG rc = WriteRegString(HKEY_LOCAL_MACHINE, kServiceKey, "Group", "Extended Base");
  if (rc != ERROR_SUCCESS)
    LogError(Format("cannot write HKEY_LOCAL_MACHINE\\%s Group", {kServiceKey}), static_cast<unsigned long>(rc));
  WriteServiceValue(kServiceKey, "ErrorControl", SERVICE_ERROR_NORMAL);
  WriteServiceValue(params, "IoPortAddress", 0x2C0);  // the interface card's port base
  WriteServiceValue(params, "IoPortCount", 16);
}

}  // namespace

BusDriverState& BusDriver() { return g_state; }
void ResetBusDriver() { g_state = BusDriverState(); }

bool RunningOn64BitWindows() {
  if (g_state.wow64ForTesting != Wow64Answer::AskSystem) return g_state.wow64ForTesting == Wow64Answer::Yes;
  // Both looked up at run time: the 9x family and NT before XP have neither, and they are
  // never 64-bit. The newer one also names the host, for an x86 program on ARM64 Windows,
  // which the older one reports as not WOW64 on some versions; an x86 driver loads on
  // neither.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return false;
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  auto isWow64v2 = ProcAddress<IsWow64Process2Fn>(kernel, "IsWow64Process2");
  USHORT process = 0, host = 0;
  if (isWow64v2 && isWow64v2(GetCurrentProcess(), &process, &host)) return host != IMAGE_FILE_MACHINE_I386;
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64 = ProcAddress<IsWow64Fn>(kernel, "IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}
static const bool kResetBusDriverRegistered = RegisterStateReset(&ResetBusDriver);

void InstallBusDriver() {
  LogLine("NT Detected!");
  if (RunningOn64BitWindows()) {
    LogLine("   No NT Driver install: %s is a 32-bit kernel driver, which 64-bit Windows cannot load",
            kDriverFile);
    return;
  }
  const std::string source = Params().setupdir + "\\NTDrivers\\" + kDriverFile;
  const std::string dest = GetSystemDir() + "\\drivers\\" + kDriverFile;
  if (!FileExists(source)) {
    LogLine("File not found - " + source);
    return;
  }
  LogLine("File found - " + source);
  if (GroupValuePresent() && FileExists(dest)) {
    LogLine("Reg key found - HKEY_LOCAL_MACHINE\\" + std::string(kServiceKey) + " Group");
    LogLine("   No NT Driver install required");
    return;
  }
  LogLine("Installing NT Driver");
  ClearReadOnly(dest);
  LogLine("CopyFile(%s, %s)", source, dest);
  if (!CopyFileA(source.c_str(), dest.c_str(), FALSE)) {
    DWORD err = GetLastError();
    LogError(Format("cannot copy %s to %s", {source, dest}), err);
    ShowWarning(ExpandMessage(
        "Error copying GPIB driver to %s. Please make certain that you are logged on as an Administrator.", {dest}));
    LogLine("Copy NT Driver - Failed!");
    return;
  }
  ClearReadOnly(dest);  // the CD's copy carries the read-only attribute of the medium
  LogLine("Copy NT Driver - OK!");
  WriteServiceValues();
}

}  // namespace tolvex
