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
  // A status line shown for a few milliseconds cannot be read, and every repaint and
  // every look at the message queue costs a round trip to the window system: both are
  // spaced out during long loops.
  // A themed bar's repaint costs milliseconds (the theme's images are stretched): a bar
  // that moves with every file of a fast loop would cost more than the files.
  unsigned long lastPaint = 0, lastPump = 0, lastBarPaint = 0;
  bool statusPending = false;  // a newer status than the label shows
  bool barPending = false;     // a newer position than the bar shows
};
ProgressState& Progress();
void ResetProgress();

// The text is kept at once; the label shows it at once unless it changed within the
// last few milliseconds, then with the next pass of ProcessPendingMessages.
void SetStatus(const std::string& text);
// Shows a status and a bar position that are still waiting (before a question, before
// the thread blocks on another program, at the end of a run).
void FlushStatus();
// Shows the bar (range 0..100) and the Cancel button; a total of 0 counts as 1.
void ShowProgress(long long total);
// position = 100 * done / total, rounded down; moved only when it changes and is <= 100;
// the bar shows it at once unless it moved within the last few milliseconds, then with
// the next pass of ProcessPendingMessages.
void UpdateProgress(long long done);
void HideProgress();
bool Cancelled();
// Lets the window repaint and its Cancel button work between items of a long loop. Looks
// at the queue at most every few milliseconds unless forced.
void ProcessPendingMessages(bool force = false);

}  // namespace tolvex
