// In-memory dialog templates: the forms are built in code, so the program needs no
// resource script for them and a form's layout lives beside its logic.
#pragma once

#include <windows.h>

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
  kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082, kListBoxClass = 0x0083,
  kComboBoxClass = 0x0085
};

// The object a dialog procedure works for: given as WM_INITDIALOG's parameter and kept
// with the window for the messages after it (null for the few that come before).
template <typename T>
T* DialogObject(HWND dlg, UINT msg, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrA(dlg, DWLP_USER, lp);
  return reinterpret_cast<T*>(GetWindowLongPtrA(dlg, DWLP_USER));
}

// Moves a window to the middle of the screen's work area.
void CenterOnScreen(HWND w);

}  // namespace tolvex
