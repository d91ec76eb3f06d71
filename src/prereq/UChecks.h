// The PC checks run before a product is installed: administrator rights on the NT
// family, the display, and the common controls and browser engine the on-line help needs.
// Each finding goes to the user in a message box and to the install log; no check stops
// the program by itself.
#pragma once

#include <string>

#include "UFileVersion.h"

namespace tolvex {

// True when the user may install (always on the 9x family); warns otherwise.
bool CheckNTSecurity();
// True when the primary screen is at least 800 pixels wide with at least 8 bits of
// colour; otherwise offers the display settings and returns false whatever the answer.
bool CheckDisplay();
// Everything /check does, ending with the bus driver on the NT family; false when the
// administrator test failed or the browser warning was shown.
bool CheckSystem();

// Starts the Control Panel applet (page given) through rundll32 without waiting. The
// name is a wide text: one the ANSI code page cannot carry exactly is refused (a
// best-fit stand-in could name another applet).
void OpenControlPanelApplet(const std::wstring& applet, int appletNumber, int page);
// The launcher OpenControlPanelApplet starts: the system folder's rundll32.exe, else
// the Windows folder's, else the bare name; and its parameters.
std::string ControlPanelLauncher();
std::string ControlPanelParameters(const std::string& applet, int appletNumber, int page);

// The thresholds of the checks.
bool CommonControlsFit(const FileVersionInfo& v);  // 4.70 or later
bool BrowserEngineFit(const FileVersionInfo& v);   // 4.71 or later
bool DisplayFit(int width, int colourDepth);       // 800 wide, 8 bits; height not tested
// The browser warning; the ending depends on whether the common controls are fit.
std::string BrowserWarningText(bool commonControlsFit);

}  // namespace tolvex
