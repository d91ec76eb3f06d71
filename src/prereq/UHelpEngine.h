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

}  // namespace tolvex
