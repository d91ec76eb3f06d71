#include "UProgress.h"
#include "URunState.h"

#include <commctrl.h>

namespace tolvex {

static ProgressState g_progress;

ProgressState& Progress() { return g_progress; }
void ResetProgress() { g_progress = ProgressState(); }

namespace {

// Four repaints a second still read as live; a Cancel click is seen within a tenth of a
// second. Closer together, repaints and queue checks cost a fast uninstall over a tenth of
// its time under Wine.
const unsigned long kRepaintEveryMs = 250, kPumpEveryMs = 100, kBarEveryMs = 250;

void ShowStatusNow() {
  ProgressState& p = g_progress;
  p.statusPending = false;
  p.lastPaint = GetTickCount();
  if (!p.label) return;
  SetWindowTextA(p.label, p.status.c_str());
  UpdateWindow(p.form);
}
static const bool kResetProgressRegistered = RegisterStateReset(&ResetProgress);

void ShowBarNow() {
  ProgressState& p = g_progress;
  p.barPending = false;
  p.lastBarPaint = GetTickCount();
  if (!p.bar) return;
  SendMessageA(p.bar, PBM_SETPOS, static_cast<WPARAM>(p.position), 0);
  UpdateWindow(p.bar);
}

}  // namespace

void ProcessPendingMessages(bool force) {
  ProgressState& p = g_progress;
  unsigned long now = GetTickCount();
  if (!force && now - p.lastPump < kPumpEveryMs) return;
  p.lastPump = now;
  if (p.statusPending && now - p.lastPaint >= kRepaintEveryMs) ShowStatusNow();
  if (p.barPending && now - p.lastBarPaint >= kBarEveryMs) ShowBarNow();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Someone asked the program to end: keep the request for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (p.form && IsDialogMessageA(p.form, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void FlushStatus() {
  if (g_progress.statusPending) ShowStatusNow();
  if (g_progress.barPending) ShowBarNow();
}

void SetStatus(const std::string& text) {
  ProgressState& p = g_progress;
  p.status = text;
  p.statusPending = true;
  if (GetTickCount() - p.lastPaint >= kRepaintEveryMs) ShowStatusNow();
}

void ShowProgress(long long total) {
  ProgressState& p = g_progress;
  p.visible = true;
  p.total = total == 0 ? 1 : total;
  p.done = 0;
  p.position = 0;
  p.barPending = false;
  if (!p.form) return;
  EnableWindow(p.cancelButton, TRUE);
  ShowWindow(p.cancelButton, SW_SHOW);
  RECT button, bar, label;
  GetWindowRect(p.cancelButton, &button);
  MapWindowPoints(nullptr, p.form, reinterpret_cast<POINT*>(&button), 2);
  RECT client;
  GetClientRect(p.form, &client);
  RECT window;
  GetWindowRect(p.form, &window);
  int extra = (window.bottom - window.top) - client.bottom;
  SetWindowPos(p.form, nullptr, 0, 0, window.right - window.left, button.bottom + 10 + extra,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(p.bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendMessageA(p.bar, PBM_SETPOS, 0, 0);
  ShowWindow(p.bar, SW_SHOW);
  GetWindowRect(p.bar, &bar);
  MapWindowPoints(nullptr, p.form, reinterpret_cast<POINT*>(&bar), 2);
  GetWindowRect(p.label, &label);
  int labelHeight = label.bottom - label.top;
  MapWindowPoints(nullptr, p.form, reinterpret_cast<POINT*>(&label), 2);
  SetWindowPos(p.label, nullptr, label.left, bar.top - labelHeight - 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  if (p.statusPending) ShowStatusNow();
  RedrawWindow(p.form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ProcessPendingMessages(true);
}

void UpdateProgress(long long done) {
  ProgressState& p = g_progress;
  p.done = done;
  int position = p.total > 0 ? static_cast<int>(100 * done / p.total) : 0;
  if (position == p.position || position > 100 || position < 0) return;
  p.position = position;
  p.barPending = true;
  // The last step is shown at once: the loop may end with it.
  if (position == 100 || GetTickCount() - p.lastBarPaint >= kBarEveryMs) ShowBarNow();
}

void HideProgress() {
  ProgressState& p = g_progress;
  p.visible = false;
  if (!p.form) return;
  EnableWindow(p.cancelButton, FALSE);
  ShowWindow(p.cancelButton, SW_HIDE);
  RECT window, label;
  GetWindowRect(p.form, &window);
  SetWindowPos(p.form, nullptr, 0, 0, window.right - window.left, p.formHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(p.label, &label);
  MapWindowPoints(nullptr, p.form, reinterpret_cast<POINT*>(&label), 2);
  SetWindowPos(p.label, nullptr, label.left, p.labelTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(p.bar, SW_HIDE);
  p.barPending = false;
  if (p.statusPending) ShowStatusNow();
  RedrawWindow(p.form, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ProcessPendingMessages(true);
}

bool Cancelled() { return g_progress.cancelled; }

}  // namespace tolvex
