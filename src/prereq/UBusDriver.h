// The instrument bus driver: a kernel driver service the full system check installs on
// the NT family when the user is an administrator.
#pragma once

namespace tolvex {

// Copies the CD's driver into the system's driver folder and writes its service key,
// unless the driver is installed already; on 64-bit Windows it does nothing (see below).
void InstallBusDriver();

// Whether this 32-bit process runs on 64-bit Windows, where a 32-bit kernel driver cannot
// load and the system folder a 32-bit process sees is a redirected copy.
enum class Wow64Answer { AskSystem, No, Yes };
struct BusDriverState {
  // Test seam: the test program runs as a 32-bit process in a 64-bit Wine prefix, so the
  // system's own answer is always "64-bit"; tests set No to exercise the install itself.
  Wow64Answer wow64ForTesting = Wow64Answer::AskSystem;
};
BusDriverState& BusDriver();
void ResetBusDriver();
bool RunningOn64BitWindows();

}  // namespace tolvex
