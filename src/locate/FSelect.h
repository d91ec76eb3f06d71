// The form in which the user picks the right installation folder among several.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvex {

class TSelectForm {
 public:
  std::vector<std::string> ListBox1;  // filled by the caller, shown in this order
  int ItemIndex = 0;                  // the selected line; read after an OK close
  // IDOK or IDCANCEL.
  INT_PTR ShowModal();

  static const char* const kCaption;
  static const int kMinWidth = 421, kMinHeight = 155;
  enum : WORD { kLabelId = 100, kListId = 101, kOkId = IDOK, kCancelId = IDCANCEL };

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void Layout(HWND dlg);
};

// Two or more candidates: the line the user chose, or "-" when the form was closed any
// way but OK (the install is then to stop).
std::string ChooseInstallPath(const std::vector<std::string>& candidates);

}  // namespace tolvex
