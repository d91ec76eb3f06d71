#include "UDialogTemplate.h"

#include "ULog.h"
#include "UWinHandle.h"

namespace tolvex {

DialogTemplate::DialogTemplate(const std::string& title, DWORD style, short cx, short cy) {
  buf_.resize(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  DLGTEMPLATE* t = reinterpret_cast<DLGTEMPLATE*>(buf_.data());
  t->style = style | DS_SETFONT;
  t->cx = cx;
  t->cy = cy;
  buf_.push_back(0);  // no menu
  buf_.push_back(0);  // standard dialog class
  AddText(title);
  buf_.push_back(8);  // point size
  AddText("MS Shell Dlg");
}

void DialogTemplate::AddText(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> w(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, w.data(), n);
  for (wchar_t c : w) buf_.push_back(static_cast<WORD>(c));
}

void DialogTemplate::Align() {
  if (buf_.size() % 2) buf_.push_back(0);  // items start on a DWORD boundary
}

void DialogTemplate::AddControl(WORD id, WORD cls, const std::string& text, DWORD style, short x, short y,
                                short cx, short cy) {
  Align();
  size_t at = buf_.size();
  buf_.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD), 0);
  DLGITEMTEMPLATE* item = reinterpret_cast<DLGITEMTEMPLATE*>(&buf_[at]);
  item->style = style | WS_CHILD | WS_VISIBLE;
  item->x = x;
  item->y = y;
  item->cx = cx;
  item->cy = cy;
  item->id = id;
  buf_.push_back(0xFFFF);
  buf_.push_back(cls);
  AddText(text);
  buf_.push_back(0);  // no creation data
  reinterpret_cast<DLGTEMPLATE*>(buf_.data())->cdit++;
}

void CenterOnScreen(HWND w) {
  RECT r, work;
  GetWindowRect(w, &r);
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  int x = work.left + ((work.right - work.left) - (r.right - r.left)) / 2;
  int y = work.top + ((work.bottom - work.top) - (r.bottom - r.top)) / 2;
  SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HandleFormSizing(UINT msg, LPARAM lp, int minWidth, int minHeight, const std::function<void()>& layout) {
  if (msg == WM_GETMINMAXINFO) {
    MINMAXINFO* mm = reinterpret_cast<MINMAXINFO*>(lp);
    mm->ptMinTrackSize.x = minWidth;
    mm->ptMinTrackSize.y = minHeight;
    return true;
  }
  if (msg != WM_SIZE) return false;
  layout();
  return true;
}

void PlaceForm(HWND dlg, int width, int height, const std::function<void()>& layout) {
  SetWindowPos(dlg, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  CenterOnScreen(dlg);
  layout();
}

INT_PTR RunFormModal(const DialogTemplate& t, DLGPROC proc, void* form, const std::string& what, HWND owner) {
  INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner ? owner : GetActiveWindow(), proc,
                                      reinterpret_cast<LPARAM>(form));
  if (r == -1) LogError(Format("the %s could not be shown", {what}), GetLastError());
  return r;
}

int ShowFormModal(const DialogTemplate& t, DLGPROC proc, void* form, const std::string& what, HWND owner) {
  return RunFormModal(t, proc, form, what, owner) == IDOK ? IDOK : IDCANCEL;
}

void PlaceControl(HWND dlg, int id, int x, int y, int w, int h) {
  SetWindowPos(GetDlgItem(dlg, id), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetClientSize(HWND wnd, int w, int h) {
  RECT r = {0, 0, w, h};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(wnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(wnd, GWL_EXSTYLE)));
  SetWindowPos(wnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOMOVE);
}

LONG WidestText(HWND wnd, const std::vector<std::string>& texts, TEXTMETRICA* tm) {
  WindowDC dc(wnd);
  if (!dc) return 0;
  ScopedSelectObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(wnd, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (const std::string& text : texts) {
    SIZE size{};
    if (GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size) && size.cx > widest)
      widest = size.cx;
  }
  if (tm) GetTextMetricsA(dc.Get(), tm);
  return widest;
}

HFONT CreateFormFont(HWND wnd) {
  WindowDC dc(wnd);
  return CreateFontA(-MulDiv(8, GetDeviceCaps(dc.Get(), LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

}  // namespace tolvex
