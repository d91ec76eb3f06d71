// The main window: a small panel with the program icon and one status line, which grows
// a progress bar and a Cancel button during long loops. It runs the install sequence or
// the uninstall and then ends the program.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

#include "UStartup.h"
#include "UWinHandle.h"

namespace tolvex {

class TFormMain {
 public:
  static const UINT kStartMessage = WM_USER + 100;  // 1124: the work starts once the window shows
  enum : int { kIconId = 100, kLabelId = 101, kBarId = 102, kCancelId = IDCANCEL };

  // The work the window runs once it shows: true when it succeeded.
  using Work = std::function<bool()>;
  explicit TFormMain(Work work) : work_(std::move(work)) {}
  // Creates the window, runs its message loop until the work is done, destroys it.
  // An error that escaped the work is raised again here.
  void Run();

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void FormCreate(HWND dlg);
  void StartSetup();

  void RunWork();

  Work work_;
  HWND dlg_ = nullptr;
  ScopedFont font_;
  std::exception_ptr escaped_;
};

void RunMainWindow(RunMode mode);

}  // namespace tolvex
