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
  // cls: 0x0080 button, 0x0081 edit, 0x0082 static, 0x0083 list box.
  void AddControl(WORD id, WORD cls, const std::string& text, DWORD style, short x, short y, short cx, short cy);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(buf_.data()); }

 private:
  void AddText(const std::string& text);
  void Align();
  std::vector<WORD> buf_;
};

enum : WORD { kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082, kListBoxClass = 0x0083 };

// Moves a window to the middle of the screen's work area.
void CenterOnScreen(HWND w);
// Sizes a window so that its client area is w x h pixels.
void SetClientSize(HWND wnd, int w, int h);
// "MS Sans Serif" 8 point, the font the forms were laid out for; the caller deletes it.
HFONT CreateFormFont(HWND wnd);

}  // namespace tolvex
