// In-memory dialog templates: the forms are built in code, so the program needs no
// resource script for them and a form's layout lives beside its logic.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tolvex {

class DialogTemplate {
 public:
  // Sizes in dialog units; the forms resize themselves in pixels once created.
  DialogTemplate(const std::string& title, DWORD style, short cx, short cy);
  // cls: 0x0080 button, 0x0081 edit, 0x0082 static, 0x0083 list box, 0x0085 combo box.
  void AddControl(WORD id, WORD cls, const std::string& text, DWORD style, short x, short y, short cx, short cy);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(buf_.data()); }

 private:
  void AddText(const std::string& text);
  void Align();
  std::vector<WORD> buf_;
};

enum : WORD {
  kButtonClass = 0x0080,
  kEditClass = 0x0081,
  kStaticClass = 0x0082,
  kListBoxClass = 0x0083,
  kComboBoxClass = 0x0085
};

// The form object a dialog procedure serves: handed over with WM_INITDIALOG and kept in
// the dialog's user data for every later message (null before that).
template <typename Form>
Form* DialogForm(HWND dlg, UINT msg, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrA(dlg, DWLP_USER, lp);
  return reinterpret_cast<Form*>(GetWindowLongPtrA(dlg, DWLP_USER));
}

// Moves a window to the middle of the screen's work area.
void CenterOnScreen(HWND w);
// Sizes a window so that its client area is w x h pixels.
void SetClientSize(HWND wnd, int w, int h);
// Pixels of the widest of texts in the window's font, and that font's metrics when tm is
// given; 0 (and tm left as it was) when the window cannot be drawn on.
LONG WidestText(HWND wnd, const std::vector<std::string>& texts, TEXTMETRICA* tm = nullptr);
// "MS Sans Serif" 8 point, the font the forms were laid out for; the caller deletes it.
HFONT CreateFormFont(HWND wnd);

// What every resizable form does alike. In its dialog procedure:
//   if (HandleFormSizing(msg, lp, kMinWidth, kMinHeight, [&] { if (self) self->Layout(dlg); })) return TRUE;
// True when msg was the minimum-size query or a size change.
bool HandleFormSizing(UINT msg, LPARAM lp, int minWidth, int minHeight, const std::function<void()>& layout);
// The first showing: this size in pixels, centred, laid out.
void PlaceForm(HWND dlg, int width, int height, const std::function<void()>& layout);
// Shows the form modally over owner (the active window when none is given), with form as
// its WM_INITDIALOG parameter: what the form ended with, or -1 when it could not be shown
// (logged, what naming it).
INT_PTR RunFormModal(const DialogTemplate& t, DLGPROC proc, void* form, const std::string& what,
                     HWND owner = nullptr);
// The same for a form that ends with OK or not: IDOK, or IDCANCEL for anything else (a
// form that could not be shown included: nobody agreed to anything).
int ShowFormModal(const DialogTemplate& t, DLGPROC proc, void* form, const std::string& what, HWND owner = nullptr);
// Moves and sizes the control id of a form, in pixels.
void PlaceControl(HWND dlg, int id, int x, int y, int w, int h);

}  // namespace tolvex
