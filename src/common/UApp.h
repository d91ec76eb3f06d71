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
  // The user answered a failure's question so that the work stops; whether the run stops
  // is for the stage to say (a stage that goes on clears it).
  bool stopAnswered = false;
  // The install's items: copied, found up to date, and failed (a copy, a registration, a
  // program that could not be started). A run that went on past a failed item failed.
  int itemsCopied = 0, itemsUpToDate = 0, itemsFailed = 0;
};
AppState& App();
void ResetApp();
void SetAppTitle(const std::string& title);
// "<product> Setup" once the script's product name is known, "Setup" before: never a
// title that starts with a blank.
std::string SetupTitle(const std::string& suffix = "Setup");

// Where a run stops: the user's answer stopped it, or something failed.
void MarkRunDeclined();
void MarkRunFailed();
// One item of the run failed; the run may go on, but it no longer ends as done.
void NoteItemFailed();
// The exit code: 1602 when the run stopped on an answer, 1603 when it failed or went on
// past a failed item, 3010 when only a restart is wanting, else the code the run set.
int RunExitCode();

}  // namespace tolvex
