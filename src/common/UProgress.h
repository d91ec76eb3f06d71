// The progress window's operations: the status line, the bar and its Cancel button.
// Every stage reports through these; the main window registers its controls here when it
// exists. Without a window (tests, runs that end before it) they keep their state only.
#pragma once

#include <windows.h>

#include <string>

namespace tolvex {

struct ProgressState {
  HWND form = nullptr, label = nullptr, bar = nullptr, cancelButton = nullptr;
  std::string status;        // the status line's text
  bool visible = false;      // bar and Cancel shown
  bool cancelled = false;    // set by Cancel; only the stages that offer it read it
  long long total = 1, done = 0;
  int position = 0;          // the bar's position, 0..100
  int labelTop = 0, formHeight = 0;  // the layout without the bar, restored by HideProgress
};
ProgressState& Progress();
void ResetProgress();

void SetStatus(const std::string& text);
// Shows the bar (range 0..100) and the Cancel button; a total of 0 counts as 1.
void ShowProgress(long long total);
// position = 100 * done / total, rounded down; moved only when it changes and is <= 100.
void UpdateProgress(long long done);
void HideProgress();
bool Cancelled();
// Lets the window repaint and its Cancel button work between items of a long loop.
void ProcessPendingMessages();

}  // namespace tolvex
