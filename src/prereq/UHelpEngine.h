// Versions of the HTML Help engine and the browser engine installed on this PC.
#pragma once

#include <string>

#include "UFileVersion.h"

namespace tolvex {

// Path of the HTML Help control: its registered in-process server, else the system
// folder's hhctrl.ocx.
std::string FindHHCtrl();
// Version of the browser engine (shdocvw.dll in the system folder). Old engines keep
// their build in the fourth part; it is moved to the third.
FileVersionInfo GetIEVersion();
FileVersionInfo NormaliseIEVersion(FileVersionInfo v);

// Install stages that bring the components the help needs up to date; none of them stops
// the install.
void UpgradeComCtl32();
void UpdateIE4HHEtcIfRequired();
// Clears the help policy value that would stop help files opening from this folder.
void ClearHelpRootPolicy();

}  // namespace tolvex
