#include "FMain.h"

#include <commctrl.h>

#include "UApp.h"
#include "UCmdLine.h"
#include "UDialogTemplate.h"
#include "UInstallSequence.h"
#include "Uninstall.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "USystemDll.h"

namespace tolvex {

namespace {

// The layout in pixels: a 399 x 55 panel; the bar and Cancel wait below the label.
const int kClientWidth = 399, kClientHeight = 55;

}  // namespace

void TFormMain::FormCreate(HWND dlg) {
  dlg_ = dlg;
  ProgressState& p = Progress();
  p.cancelled = false;
  SetWindowTextA(dlg, SetupTitle().c_str());
  SetClientSize(dlg, kClientWidth, kClientHeight);
  CenterOnScreen(dlg);
  font_.Reset(CreateFormFont(dlg));
  PlaceControl(dlg, kIconId, 16, 13, 32, 32);
  SendDlgItemMessageA(dlg, kIconId, STM_SETICON,
                      reinterpret_cast<WPARAM>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1))), 0);
  PlaceControl(dlg, kLabelId, 62, 19, 332, 13);  // one line of the 8-point font
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 63, 28, 322, 17, dlg,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), GetModuleHandleA(nullptr), nullptr);
  PlaceControl(dlg, kCancelId, 136, 56, 75, 25);
  for (int id : {kLabelId, kCancelId})
    if (font_) SendDlgItemMessageA(dlg, id, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  EnableWindow(GetDlgItem(dlg, kCancelId), FALSE);
  ShowWindow(GetDlgItem(dlg, kCancelId), SW_HIDE);

  p.form = dlg;
  p.label = GetDlgItem(dlg, kLabelId);
  p.bar = bar;
  p.cancelButton = GetDlgItem(dlg, kCancelId);
  RECT label, window;
  GetWindowRect(p.label, &label);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&label), 2);
  GetWindowRect(dlg, &window);
  p.labelTop = label.top;
  p.formHeight = window.bottom - window.top;
  App().mainForm = dlg;
  SetStatus("Please wait...");
  PostMessageA(dlg, kStartMessage, 0, 0);
}

void TFormMain::StartSetup() {
  RedrawWindow(dlg_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // The work runs inside a window procedure: an error must not unwind through the
  // system's frames, so it is kept and raised again once the loop has ended.
  RunWork();
  PostQuitMessage(0);
}

void TFormMain::RunWork() {
  try {
    // A stage that stopped on the user's answer declined the run; any other stop failed it.
    if (!work_() && !App().declined) {
      if (App().stopAnswered)
        MarkRunDeclined();
      else
        MarkRunFailed();
    }
  } catch (...) {
    escaped_ = std::current_exception();
  }
}

INT_PTR CALLBACK TFormMain::Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  TFormMain* self = DialogForm<TFormMain>(dlg, msg, lp);
  switch (msg) {
    case WM_INITDIALOG:
      self->FormCreate(dlg);
      return TRUE;
    case kStartMessage:
      if (self) self->StartSetup();
      return TRUE;
    case WM_COMMAND:
      // Cancel only sets the flag: the stage that offers it decides what it means. Escape
      // arrives here as the same command.
      if (LOWORD(wp) == kCancelId && IsWindowEnabled(GetDlgItem(dlg, kCancelId))) Progress().cancelled = true;
      return TRUE;
    case WM_CLOSE:
      return TRUE;  // the run ends when its work does, not on Alt+F4
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(dlg, &ps);
      RECT c;
      GetClientRect(dlg, &c);
      DrawEdge(dc, &c, EDGE_RAISED, BF_RECT);  // the panel's bevel
      EndPaint(dlg, &ps);
      return TRUE;
    }
  }
  return FALSE;
}

void TFormMain::Run() {
  InitControlClasses(ICC_PROGRESS_CLASS);
  DialogTemplate t("", WS_POPUP | DS_CENTER, 266, 37);
  t.AddControl(kIconId, kStaticClass, "", SS_ICON, 0, 0, 0, 0);
  t.AddControl(kLabelId, kStaticClass, "", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0);
  t.AddControl(kCancelId, kButtonClass, "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0);
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &Proc,
                                        reinterpret_cast<LPARAM>(this));
  if (!dlg) {
    // Without the window the work still runs; only the progress display is missing.
    LogError("the progress window could not be created", GetLastError());
    dlg_ = nullptr;
    RunWork();
  } else {
    // A quiet run keeps its window for the work's messages, but nobody sees it.
    if (!CommandLine().quiet) ShowWindow(dlg, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (IsDialogMessageA(dlg, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Progress().form = Progress().label = Progress().bar = Progress().cancelButton = nullptr;
    App().mainForm = nullptr;
    DestroyWindow(dlg);
  }
  font_.Reset();
  if (escaped_) std::rethrow_exception(escaped_);
}

void RunMainWindow(RunMode mode) {
  TFormMain form(mode == kRunInstall ? TFormMain::Work(&RunInstallSequence)
                                     : TFormMain::Work([] { return RunUninstall(ParamStr(2)); }));
  form.Run();
}

}  // namespace tolvex
