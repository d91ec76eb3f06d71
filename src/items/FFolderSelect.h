// The form in which the user names the Start-menu program folder for the shortcuts and
// chooses whether a desktop shortcut to it is made.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvex {

class TFShortcuts {
 public:
  std::string group;                 // in: the preset; out: the trimmed text at closing
  bool desktop = false;              // in: the preset; out: the check box at closing
  std::vector<std::string> folders;  // the combo box's list, shown in this order
  // IDOK or IDCANCEL.
  INT_PTR ShowModal();

  static const char* const kCaption;
  static const char* const kLabel1;
  enum : WORD {
    kIconId = 100,
    kLabel1Id,
    kProgramFolderLabelId,
    kProgramFoldersCboId,
    kDesktopCheckBoxId,
    kOKBtnId = IDOK,
    kButton1Id = IDCANCEL
  };

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  bool Close(HWND dlg, bool ok);
};

// The sub-folders of the Start menu's programs folder (all users, else the current
// user), without names that begin with ".", sorted ignoring letter case.
std::vector<std::string> ExistingProgramFolders();

// Shows the form with the group and desktop option preset; both take what the user
// chose. True only for OK.
bool ChooseProgramFolder(std::string& group, bool& desktop);

}  // namespace tolvex
