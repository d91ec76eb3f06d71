#include "UStartup.h"

#include <windows.h>

#include <vector>

#include "UApp.h"
#include "UChecks.h"
#include "UCmdLine.h"
#include "UFileVersion.h"
#include "UInstallLog.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UParams.h"
#include "UPaths.h"
#include "URegistry.h"
#include "UScript.h"
#include "UScriptCheck.h"
#include "USecondDisk.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex {

std::string VersionBannerText() {
  return "Tolvex.exe - Version " + FileVersionText(ModulePath()) + "\r" +
         "Tesmora - Install/Uninstall Utility" + "\r" + "\r" +
         ExpandProductText("Valid command-line switches:|/Uninstall, /Check, /NTCheck, /DisplayCheck, "
                           "/tolvex, /script, or /script2.");
}

void ShowVersionBanner() { ShowPlainMessage(VersionBannerText()); }

static bool SameTimeAndSize(const std::string& a, const std::string& b) {
  unsigned long long ta = 0, sa = 0, tb = 0, sb = 0;
  return GetFileStamp(a, ta, sa) && GetFileStamp(b, tb, sb) && ta == tb && sa == sb;
}

static void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool CopyProgramFile(const std::string& source, const std::string& target) {
  if (SameTimeAndSize(source, target)) return true;
  DWORD attrs = GetFileAttributesA(target.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesA(target.c_str(),
                       attrs & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ScopedHandle in(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in) {
    LogError(Format("cannot read \"%s\"", {source}), GetLastError());
    return false;
  }
  ScopedHandle out(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) {
    LogError(Format("cannot write \"%s\"", {target}), GetLastError());
    return false;
  }
  std::vector<char> block(50000);
  for (;;) {
    DWORD got = 0, put = 0;
    bool read = ReadFile(in.Get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr) != FALSE;
    if (read && got == 0) break;
    if (!read || !WriteFile(out.Get(), block.data(), got, &put, nullptr) || put != got) {
      LogError(Format("copying \"%s\" to \"%s\" failed", {source, target}), GetLastError());
      // A partial program must not stay behind as if it were a copy.
      out.Close();
      DeleteFileA(target.c_str());
      return false;
    }
    ProcessPendingMessages();
  }
  FILETIME created, accessed, written;
  if (GetFileTime(in.Get(), &created, &accessed, &written)) SetFileTime(out.Get(), nullptr, nullptr, &written);
  return true;
}

// A value /setpath or /test writes; a failure is logged with its key and ends the run
// with 1603, since nothing else would tell the caller the value is not there.
static void WriteValueOrFail(HKEY root, const char* rootName, const std::string& key, const std::string& name,
                             const std::string& value) {
  LONG rc = WriteRegString(root, key, name, value);
  if (rc == ERROR_SUCCESS) return;
  LogError(Format("cannot write %s\\%s \"%s\"", {rootName, key, name}), static_cast<unsigned long>(rc));
  App().exitCode = kExitFailed;
}

void MakeTestAssociation() {
  std::string folder = RemoveTrailingBackslashes(ModuleDir()) + "\\_Test";
  if (!MakeDirPath(folder)) {
    LogError(Format("cannot create the folder \"%s\"", {folder}), GetLastError());
    App().exitCode = kExitFailed;
  }
  WriteValueOrFail(HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", ".aaatest", "", "aaatest.aaatest");
  WriteValueOrFail(HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "aaatest.aaatest\\shell\\open\\command", "",
                   folder + "\\test.exe");
  if (!CopyProgramFile(ModulePath(), folder + "\\test.exe")) App().exitCode = kExitFailed;
}

void WriteSetPathValues() {
  const InstallParams& p = Params();
  for (const char* maker : {"Kelvor", "Tesmora"})
    WriteValueOrFail(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", std::string("Software\\") + maker + "\\" + p.productname,
                     "path", p.setupdir);
}

// Checks the script the way the install reads it, but without GetAllParameters: that
// searches for the application (with questions) and saves the install log.
static int RunScriptCheck(const std::string& reportArg) {
  VerifyInput in;
  in.script = ScriptFileName();
  in.setupDir = SetupDirFromArgument();
  if (FileExists(in.script)) ReadInstallSection(in.script, in.params, &in.notNumbers);
  return DeliverVerifyReport(VerifyScript(in), VerifyReportFile(in.script, reportArg));
}

// The run ends early: because of the user's answer (marked where it was given), or
// because something failed and has been reported.
static RunMode Stopped() {
  if (!App().declined) MarkRunFailed();
  return kRunEnd;
}

static RunMode InstallIf(bool ok) { return ok ? kRunInstall : Stopped(); }

static RunMode RunNtCheck() {
  CheckNTSecurity();
  CheckDisplay();
  return kRunEnd;
}

static RunMode RunDisplayCheck() {
  CheckDisplay();
  return kRunEnd;
}

static RunMode RunSystemCheck() {
  CheckSystem();
  return kRunEnd;
}

static RunMode RunSecondDiskSetup() {
  std::string installer = "setup.exe";
  if (ParamCount() >= 2 && ContainsNoCase(ParamStr(2), ".exe")) installer = ParamStr(2).substr(1);
  std::vector<std::string> passOn;
  for (int i = 3; i <= ParamCount(); ++i) passOn.push_back(ParamStr(i));
  std::string found;
  RunSecondDisk(installer, passOn, found);
  return kRunEnd;
}

static RunMode RunInstall() { return InstallIf(InitScript()); }

static RunMode RunSetPath() {
  WriteSetPathValues();
  return kRunEnd;
}

static RunMode RunCheckedInstall() {
  if (!CheckSystem() && !AskYesNo("Continue installation?")) {
    MarkRunDeclined();
    return kRunEnd;
  }
  return RunInstall();
}

// What a run does once the script's parameters are read, by its switch: the first one
// present decides, in this order ("/script" before "/setpath" and "/script2").
struct StartupMode {
  const char* name;
  RunMode (*run)();
};
static const StartupMode kModes[] = {
    {"/NTCheck", &RunNtCheck},           {"/DisplayCheck", &RunDisplayCheck}, {"/check", &RunSystemCheck},
    {"/tolvex", &RunSecondDiskSetup},    {"/script", &RunInstall},            {"/setpath", &RunSetPath},
    {"/script2", &RunCheckedInstall},
};

RunMode GetStartupMode() {
  SetAppTitle(SetupTitle());
  if (IsSwitchPresent("/test")) {
    MakeTestAssociation();
    LogLine("/test command line param used -- .aaatest association used");
  }
  AppendStartupBlock();
  if (ParamCount() == 0) {
    ShowVersionBanner();
    return kRunEnd;
  }
  std::string verifyReport;
  if (VerifyRequested(&verifyReport)) {
    App().exitCode = RunScriptCheck(verifyReport);
    return kRunEnd;
  }
  if (IsSwitchPresent("/Uninstall") && ParamCount() >= 2) return kRunUninstall;
  if (!GetAllParameters()) return Stopped();
  AppendParameterBlock();

  for (const StartupMode& m : kModes)
    if (IsSwitchPresent(m.name)) return m.run();
  ShowVersionBanner();
  return kRunEnd;
}

}  // namespace tolvex
