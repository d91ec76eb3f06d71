// What this run may do on the PC: administrator rights and writable folders.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex {

// True on the 9x family; on NT when the service manager opens for full access.
bool IsAdministrator();
// True when a file can be created in folder, or in its drive's root while the folder
// does not exist yet. The probe file is removed again.
bool CanWriteToFolder(const std::string& folder);
// The folder CanWriteToFolder probes.
std::string WritabilityProbeFolder(const std::string& folder);

bool IsNtPlatform();

// Tests stand in for the service manager (Wine's never refuses); nullptr restores it.
using OpenSCManagerFn = SC_HANDLE(WINAPI*)(LPCSTR, LPCSTR, DWORD);
void SetOpenSCManagerForTesting(OpenSCManagerFn fn);

}  // namespace tolvex
