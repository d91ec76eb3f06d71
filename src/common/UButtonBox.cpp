// Message boxes with button sets MessageBox does not offer (Yes, No, Ignore; Cancel, Retry,
// Ignore), looking like the system's own: icon, wrapped text, buttons centred below.
#include <windows.h>

#include <vector>

#include "UApp.h"
#include "UDialogTemplate.h"
#include "ULog.h"
#include "UMessages.h"
#include "UQuestion.h"
#include "UWinHandle.h"

namespace tolvex {

namespace {

struct BoxButton {
  int id;
  const char* label;
  const char* answer;
};

struct BoxData {
  std::string text;
  LPCSTR icon;
  std::vector<BoxButton> buttons;
};

const WORD kIconId = 20;
const WORD kTextId = 0xFFFF;  // the id MessageBox gives its text

INT_PTR CALLBACK BoxProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  BoxData* data = DialogForm<BoxData>(dlg, msg, lp);
  switch (msg) {
    case WM_INITDIALOG: {
      HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0));
      RECT tr = {0, 0, 420, 0};
      {
        WindowDC dc(dlg);
        ScopedSelectObject selected(dc.Get(), font);
        DrawTextA(dc.Get(), data->text.c_str(), -1, &tr, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
      }
      const int margin = 14, iconSize = 32, bw = 84, bh = 25, gap = 8;
      int textX = margin + iconSize + margin;
      int bodyH = tr.bottom > iconSize ? tr.bottom : iconSize;
      int buttonsW = static_cast<int>(data->buttons.size()) * (bw + gap) - gap;
      int clientW = textX + tr.right + margin;
      if (clientW < buttonsW + 2 * margin) clientW = buttonsW + 2 * margin;
      int clientH = margin + bodyH + margin + bh + margin;
      PlaceControl(dlg, kIconId, margin, margin, iconSize, iconSize);
      SendDlgItemMessageA(dlg, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, data->icon)), 0);
      PlaceControl(dlg, kTextId, textX, margin + (bodyH - tr.bottom) / 2, tr.right, tr.bottom);
      int x = (clientW - buttonsW) / 2;
      for (const BoxButton& b : data->buttons) {
        PlaceControl(dlg, static_cast<int>(b.id), x, clientH - margin - bh, bw, bh);
        x += bw + gap;
      }
      SetClientSize(dlg, clientW, clientH);
      CenterOnScreen(dlg);
      HWND first = GetDlgItem(dlg, data->buttons.front().id);
      SendMessageA(dlg, DM_SETDEFID, static_cast<WPARAM>(data->buttons.front().id), 0);
      SetFocus(first);
      MessageBeep(MB_ICONQUESTION);
      return FALSE;  // focus set here
    }
    case WM_COMMAND:
      if (data)
        for (const BoxButton& b : data->buttons)
          if (LOWORD(wp) == b.id) {
            EndDialog(dlg, b.id);
            return TRUE;
          }
      return TRUE;  // Escape: these buttons offer no way out, as MessageBox without Cancel
  }
  return FALSE;
}

}  // namespace

// The first button is the default; unattended runs take it, so it must be the answer
// that is safe to repeat.
static int AskButtonBox(const std::string& text, const char* kind, const std::vector<BoxButton>& buttons,
                        const char* notShownAnswer) {
  BoxData data{text, IDI_QUESTION, buttons};
  Question q;
  q.box = "message";
  q.kind = kind;
  q.icon = "question";
  q.title = App().title;
  q.text = text;
  for (const BoxButton& b : data.buttons) q.accepted.push_back(b.answer);
  q.defaultAnswer = data.buttons.front().answer;
  std::string a = AskQuestion(q, [&] {
    DialogTemplate t(App().title, DS_MODALFRAME | WS_POPUP | WS_CAPTION | DS_CENTER, 200, 80);
    t.AddControl(kIconId, kStaticClass, "", SS_ICON, 0, 0, 0, 0);
    t.AddControl(kTextId, kStaticClass, text, SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0);
    for (const BoxButton& b : data.buttons)
      t.AddControl(static_cast<WORD>(b.id), kButtonClass, b.label,
                   WS_TABSTOP | (b.id == data.buttons.front().id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, 0, 0, 0);
    INT_PTR r = RunFormModal(t, &BoxProc, &data, "question box (\"" + text + "\")");
    for (const BoxButton& b : data.buttons)
      if (r == b.id) return std::string(b.answer);
    // Without the box nobody agreed to anything: take the answer that changes nothing.
    return std::string(notShownAnswer);
  });
  for (const BoxButton& b : data.buttons)
    if (a == b.answer) return b.id;
  return data.buttons.front().id;
}

int AskYesNoIgnore(const std::string& text) {
  return AskButtonBox(text, "YesNoIgnore",
                      {{IDYES, "&Yes", "Yes"}, {IDNO, "&No", "No"}, {IDIGNORE, "&Ignore", "Ignore"}}, "No");
}

int AskCancelRetryIgnore(const std::string& text) {
  return AskButtonBox(text, "CancelRetryIgnore",
                      {{IDCANCEL, "Cancel", "Cancel"}, {IDRETRY, "&Retry", "Retry"}, {IDIGNORE, "&Ignore", "Ignore"}},
                      "Cancel");
}

}  // namespace tolvex
