// The application object: its title (the caption of every box) and how the run ends.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex {

// The exit codes an installer is expected to give.
enum : int {
  kExitDone = 0,
  kExitFailed = 1603,         // a stage failed, the script or the command line is wrong
  kExitDeclined = 1602,       // the user answered so that the run stops
  kExitRestartNeeded = 3010,  // done, and Windows must be restarted
};

struct AppState {
  std::string title;
  HWND mainForm = nullptr;  // the main window while it exists: owner of late questions
  int exitCode = 0;         // what the run set as its own result (a check's verdict)
  bool failed = false;      // the run stopped because something failed
  bool declined = false;    // the run stopped because of the user's answer
  bool restartNeeded = false;  // an install that completed and needs Windows restarted
};
AppState& App();
void ResetApp();
void SetAppTitle(const std::string& title);

// Where a run stops: the user's answer stopped it, or something failed.
void MarkRunDeclined();
void MarkRunFailed();
// The exit code: declined, failed, restart, or the code the run set itself.
int RunExitCode();

}  // namespace tolvex
