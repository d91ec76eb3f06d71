#include "UChecks.h"

#include <windows.h>

#include "UApp.h"
#include "UBusDriver.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "URights.h"
#include "UWinExec.h"
#include "UWinHandle.h"

namespace tolvex {

bool CommonControlsFit(const FileVersionInfo& v) {
  return !v.text.empty() && (v.parts[0] > 4 || (v.parts[0] == 4 && v.parts[1] >= 70));
}

bool BrowserEngineFit(const FileVersionInfo& v) {
  return !v.text.empty() && (v.parts[0] > 4 || (v.parts[0] == 4 && v.parts[1] >= 71));
}

bool DisplayFit(int width, int colourDepth) { return width >= 800 && colourDepth >= 8; }

std::string BrowserWarningText(bool commonControlsFit) {
  return std::string("Warning: This version of Windows is unsuitable for running %s software on-line help!") +
         "\r\r" +
         "Please quit setup now and insert the Tesmora Windows Update CDROM if supplied. Alternatively upgrade to "
         "Windows 98SE, Windows ME or Windows 2000." +
         " " +
         (commonControlsFit ? "If you continue with setup, %s on-line help and tutorials will NOT be available."
                            : "If you continue with setup, the %s software may experience problems and the on-line "
                              "help and tutorials will NOT be available.");
}

bool CheckNTSecurity() {
  LogLine("About to check NT Security");
  SaveInstallLogFile();
  bool admin = IsAdministrator();
  if (admin) {
    LogLine("NT Security Check = OK");
  } else {
    LogLine("*** NT Security Check = Failed (NT Machine not in Admin mode)");
    ShowWarning(ExpandProductText(
        "Warning: To install this software under Windows NT, you must be logged on as an Administrator.\r\r"
        "Do not continue to install. For more information on NT security please see your Windows NT manual."));
  }
  return admin;
}

static int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

// Bits per pixel times colour planes of the whole screen; 0 when the screen cannot be
// asked (then the display counts as unfit, and the user is offered the settings).
static int ScreenColourDepth() {
  ScreenDC dc;
  if (!dc) {
    LogError("the screen's device context is not available", GetLastError());
    return 0;
  }
  return GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES);
}

bool CheckDisplay() {
  LogLine("About to check VDU");
  LogLine("  Screen Size = %d x %d", static_cast<long>(ScreenWidth()),
          static_cast<long>(GetSystemMetrics(SM_CYSCREEN)));
  LogLine("  Screen Bit Depth = %d", static_cast<long>(ScreenColourDepth()));
  SaveInstallLogFile();
  // Measured afresh: the user may have changed the settings while the log was written.
  if (DisplayFit(ScreenWidth(), ScreenColourDepth())) return true;
  if (AskYesNo(ExpandProductText(
          "Warning: Your display settings are not suitable for running the %s software.\r"
          "Please adjust your display settings before continuing the installation.\r\r"
          "Recommended settings: 800x600 pixels or better, Hi color (16 bit) or better.\r"
          "Minimal settings: 800x600 pixels, 256 colors (8 bit).\r\r"
          "Do you want to adjust the display settings now?\r"
          "Note: You may be asked to restart your computer.")))
    OpenControlPanelApplet(L"DESK.CPL", 0, 3);
  return false;
}

bool CheckSystem() {
  bool controlsFit = CommonControlsFit(GetFileVersion(GetSystemDir() + "\\Comctl32.Dll"));
  bool browserFit = BrowserEngineFit(GetFileVersion(GetSystemDir() + "\\Shdocvw.dll"));
  bool result = CheckNTSecurity();
  CheckDisplay();
  // Without administrator rights the result is false already, and the user was told so.
  if (result && !browserFit) {
    SetAppTitle("Warning!");
    ShowWarning(ExpandProductText(BrowserWarningText(controlsFit)));
    result = false;
  }
  SaveInstallLogFile();
  if (IsNtPlatform() && IsAdministrator()) InstallBusDriver();
  SaveInstallLogFile();
  return result;
}

std::string ControlPanelLauncher() {
  for (const std::string& folder : {GetSystemDir(), GetWindowsDir()}) {
    std::string path = folder + "\\rundll32.exe";
    if (FileExists(path)) return path;
  }
  return "rundll32.exe";
}

std::string ControlPanelParameters(const std::string& applet, int appletNumber, int page) {
  if (applet.empty()) return "shell32.dll,Control_RunDLL";
  return "shell32.dll,Control_RunDLL " + applet + ",@" + std::to_string(appletNumber) + "," + std::to_string(page);
}

// The ANSI form of a wide text, or false when the code page cannot hold it exactly
// (checked by converting back: best-fit replacements and "?" both change the text).
static bool NarrowExactly(const std::wstring& wide, std::string& narrow) {
  narrow.clear();
  if (wide.empty()) return true;
  if (wide.find(L'\0') != std::wstring::npos) return false;
  int size = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  narrow.resize(static_cast<size_t>(n));
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), size, &narrow[0], n, nullptr, nullptr) != n) return false;
  int back = MultiByteToWideChar(CP_ACP, 0, narrow.data(), n, nullptr, 0);
  if (back != size) return false;
  std::wstring again(static_cast<size_t>(back), L'\0');
  MultiByteToWideChar(CP_ACP, 0, narrow.data(), n, &again[0], back);
  return again == wide;
}

void OpenControlPanelApplet(const std::wstring& applet, int appletNumber, int page) {
  std::string name;
  if (!NarrowExactly(applet, name)) {
    LogLine("** Error: the Control Panel applet name \"%s\" cannot be written in this system's code page; "
            "nothing started",
            name);
    ShowErrorBox("The Control Panel applet \"" + name + "\" cannot be opened on this system.");
    return;
  }
  std::string launcher = ControlPanelLauncher(), parameters = ControlPanelParameters(name, appletNumber, page);
  LogLine("  Starting %s %s", launcher, parameters);
  OpenWithShell(launcher, parameters, true);
}

}  // namespace tolvex
