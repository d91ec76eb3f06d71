#include "FSelect.h"

#include "UDialogTemplate.h"
#include "UQuestion.h"

namespace tolvex {

const char* const TSelectForm::kCaption = "Help Install Destination";

static const char* const kLabel = "&Select the correct installation path:";

void TSelectForm::Layout(HWND dlg) {
  RECT c;
  GetClientRect(dlg, &c);
  const int border = 6, labelH = 16, bw = 75, bh = 25, strip = bh + 2 * border;
  int w = c.right - 2 * border;
  PlaceControl(dlg, kLabelId, border, border, w, labelH);
  int listTop = border + labelH + 2;
  int listH = c.bottom - strip - listTop;
  PlaceControl(dlg, kListId, border, listTop, w, listH > 0 ? listH : 0);
  int y = c.bottom - border - bh;
  PlaceControl(dlg, kCancelId, c.right - border - bw, y, bw, bh);
  PlaceControl(dlg, kOkId, c.right - border - 2 * bw - border, y, bw, bh);
  InvalidateRect(dlg, nullptr, TRUE);
}

// A list box scrolls sideways only as far as it is told: without this a long path is cut
// off at the right edge however the scroll bar is pulled.
static void SetListExtent(HWND list, const std::vector<std::string>& rows) {
  TEXTMETRICA tm{};
  LONG widest = WidestText(list, rows, &tm);
  // One character more, so the last one is not drawn against the border.
  SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + tm.tmAveCharWidth), 0);
}

INT_PTR CALLBACK TSelectForm::Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  TSelectForm* self = DialogForm<TSelectForm>(dlg, msg, lp);
  if (HandleFormSizing(msg, lp, kMinWidth, kMinHeight, [&] { if (self) self->Layout(dlg); })) return TRUE;
  switch (msg) {
    case WM_INITDIALOG: {
      HWND list = GetDlgItem(dlg, kListId);
      for (const std::string& line : self->ListBox1) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(self->ItemIndex), 0);
      SetListExtent(list, self->ListBox1);
      PlaceForm(dlg, 520, 230, [&] { self->Layout(dlg); });
      SetFocus(list);
      return FALSE;
    }
    case WM_COMMAND: {
      WORD id = LOWORD(wp);
      bool ok = id == kOkId || (id == kListId && HIWORD(wp) == LBN_DBLCLK);
      if (ok && self) {
        LRESULT sel = SendDlgItemMessageA(dlg, kListId, LB_GETCURSEL, 0, 0);
        self->ItemIndex = sel == LB_ERR ? -1 : static_cast<int>(sel);
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (id == kCancelId) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

INT_PTR TSelectForm::ShowModal() {
  DialogTemplate t(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_CENTER, 280, 100);
  t.AddControl(kLabelId, kStaticClass, kLabel, SS_LEFT, 0, 0, 0, 0);
  t.AddControl(kListId, kListBoxClass, "",
               WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0);
  t.AddControl(kOkId, kButtonClass, "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0);
  t.AddControl(kCancelId, kButtonClass, "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0);
  return ShowFormModal(t, &Proc, this, "installation path form");
}

std::string ChooseInstallPath(const std::vector<std::string>& candidates) {
  Question q;
  q.box = "select";
  q.kind = "list";
  q.title = TSelectForm::kCaption;
  q.text = kLabel;
  for (const std::string& c : candidates) q.text += "\r\n" + c;
  q.accepted = candidates;
  q.accepted.push_back("Cancel");
  q.defaultAnswer = candidates.empty() ? "Cancel" : candidates.front();
  std::string answer = AskQuestion(q, [&] {
    TSelectForm form;
    form.ListBox1 = candidates;
    form.ItemIndex = 0;
    if (form.ShowModal() != IDOK || form.ItemIndex < 0 || form.ItemIndex >= static_cast<int>(candidates.size()))
      return std::string("Cancel");
    return candidates[static_cast<size_t>(form.ItemIndex)];
  });
  return answer == "Cancel" ? "-" : answer;
}

}  // namespace tolvex
