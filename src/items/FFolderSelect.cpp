#include "FFolderSelect.h"

#include <algorithm>

#include "UDialogTemplate.h"
#include "ULog.h"
#include "UQuestion.h"
#include "UShortcuts.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex {

const char* const TFShortcuts::kCaption = "Select Programs Folder";
const char* const TFShortcuts::kLabel1 =
    "Setup will add program shortcuts to the program folder listed below. You may type in a new folder name "
    "or select one from the list of existing folders. Click OK to continue.";

static std::string ComboText(HWND dlg) {
  HWND combo = GetDlgItem(dlg, TFShortcuts::kProgramFoldersCboId);
  int n = GetWindowTextLengthA(combo);
  std::string text(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
  int got = GetWindowTextA(combo, &text[0], n + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

bool TFShortcuts::Close(HWND dlg, bool ok) {
  std::string text = Trim(ComboText(dlg));
  SetDlgItemTextA(dlg, kProgramFoldersCboId, text.c_str());
  if (ok && text.empty()) return false;  // a folder must be named
  group = text;
  desktop = IsDlgButtonChecked(dlg, kDesktopCheckBoxId) == BST_CHECKED;
  return true;
}

INT_PTR CALLBACK TFShortcuts::Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  TFShortcuts* self = DialogForm<TFShortcuts>(dlg, msg, lp);
  if (!self) return FALSE;
  switch (msg) {
    case WM_INITDIALOG: {
      SendDlgItemMessageA(dlg, kIconId, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32516))),  // IDI_INFORMATION
                          0);
      HWND combo = GetDlgItem(dlg, kProgramFoldersCboId);
      for (const std::string& f : self->folders)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
      SetWindowTextA(combo, self->group.c_str());
      CheckDlgButton(dlg, kDesktopCheckBoxId, self->desktop ? BST_CHECKED : BST_UNCHECKED);
      CenterOnScreen(dlg);
      SetFocus(combo);
      return FALSE;
    }
    case WM_COMMAND: {
      WORD id = LOWORD(wp);
      if (id == kOKBtnId || id == kButton1Id) {
        if (self->Close(dlg, id == kOKBtnId)) EndDialog(dlg, id);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

INT_PTR TFShortcuts::ShowModal() {
  DialogTemplate t(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 262, 116);
  t.AddControl(kIconId, kStaticClass, "", SS_ICON, 7, 7, 21, 20);
  t.AddControl(kLabel1Id, kStaticClass, kLabel1, SS_LEFT, 36, 7, 219, 34);
  t.AddControl(kProgramFolderLabelId, kStaticClass, "&Program Folders:", SS_LEFT, 36, 46, 219, 9);
  t.AddControl(kProgramFoldersCboId, kComboBoxClass, "",
               WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 36, 57, 219, 110);
  t.AddControl(kOKBtnId, kButtonClass, "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 151, 95, 50, 14);
  t.AddControl(kButton1Id, kButtonClass, "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 205, 95, 50, 14);
  t.AddControl(kDesktopCheckBoxId, kButtonClass, "Also create a Windows &Desktop Shortcut",
               WS_TABSTOP | BS_AUTOCHECKBOX, 36, 76, 219, 10);
  return ShowFormModal(t, &Proc, this, "program folder form");
}

std::vector<std::string> ExistingProgramFolders() {
  std::vector<std::string> names;
  std::string programs = StartMenuProgramsFolder();
  if (programs.empty()) return names;
  WIN32_FIND_DATAA fd;
  ScopedFindHandle find(FindFirstFileA((programs + "\\*").c_str(), &fd));
  if (!find) return names;
  do {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && fd.cFileName[0] != '.') names.push_back(fd.cFileName);
  } while (FindNextFileA(find.Get(), &fd));
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
  return names;
}

namespace {

struct FolderChoice {
  bool ok = false;
  std::string group;
  bool desktop = false;
};

std::string AnswerFor(const FolderChoice& c) {
  if (!c.ok) return "Cancel";
  std::vector<std::string> fields = {"OK", c.group};
  if (c.desktop) fields.push_back("desktop");
  return JoinAnswerFields(fields);
}

// "Cancel", "OK | group" or "OK | group | desktop"; false for anything else.
bool ParseAnswer(const std::string& answer, FolderChoice& c) {
  std::vector<std::string> f = SplitAnswerFields(answer);
  if (f.size() == 1 && EqualsNoCase(f[0], "Cancel")) {
    c.ok = false;
    return true;
  }
  bool desktop = f.size() == 3 && EqualsNoCase(f[2], "desktop");
  if (!EqualsNoCase(f[0], "OK") || !(f.size() == 2 || desktop) || f[1].empty()) return false;
  c.ok = true;
  c.group = f[1];
  c.desktop = desktop;
  return true;
}

}  // namespace

bool ChooseProgramFolder(std::string& group, bool& desktop) {
  FolderChoice preset{true, group, desktop}, chosen = preset;
  Question q;
  q.box = "shortcuts";
  q.kind = "folder";
  q.title = TFShortcuts::kCaption;
  q.text = TFShortcuts::kLabel1;
  q.defaultAnswer = AnswerFor(preset);
  bool shown = false;
  std::string answer = AskQuestion(q, [&] {
    TFShortcuts form;
    form.group = group;
    form.desktop = desktop;
    form.folders = ExistingProgramFolders();
    chosen.ok = form.ShowModal() == IDOK;
    chosen.group = form.group;
    chosen.desktop = form.desktop;
    shown = true;
    return AnswerFor(chosen);
  });
  // The form's own outcome is taken as it is (a name the user typed may hold anything);
  // an answers file's text must be one of the form's outcomes.
  if (!shown && answer != q.defaultAnswer && !ParseAnswer(answer, chosen)) {
    LogLine("** Error: answers file: \"%s\" does not answer the program folder form", answer);
    chosen = preset;
  }
  if (!chosen.ok) return false;
  group = chosen.group;
  desktop = chosen.desktop;
  return true;
}

}  // namespace tolvex
