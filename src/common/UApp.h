// The application object: its title (the caption of every box) and the run's end.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex {

struct AppState {
  std::string title;
  HWND mainForm = nullptr;  // the main window while it exists: owner of late questions
  int exitCode = 0;         // the program's exit code: 1 when the run failed as a whole
};
AppState& App();
void ResetApp();
void SetAppTitle(const std::string& title);

}  // namespace tolvex
