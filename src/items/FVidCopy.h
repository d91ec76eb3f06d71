// The help-videos form: where on the PC the videos go, or No.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvex {

struct Question;

// "Install Videos": the destination candidates in a drop-down list with their free space.
class TVidCopyForm {
 public:
  unsigned long long RequiredSize = 0;
  std::string AppDir;                   // without trailing backslash; may be empty
  std::vector<std::string> Candidates;  // in step with DrivesCbo's rows
  std::vector<std::string> Rows;
  int Preselected = -1;                 // the row that qualified, -1 when none did
  int ItemIndex = -1;                   // the chosen row after a Yes close
  std::string Result;
  const Question* question = nullptr;  // the form's question, for steps taken inside it

  // Candidates, rows and the preselection, from AppDir and the drives present.
  void Fill();
  // IDOK (Result holds the folder) or IDCANCEL.
  INT_PTR ShowModal(HWND owner);
  // The folder may take the videos; otherwise the "Sorry" box was shown.
  bool AcceptFolder(const std::string& folder) const;

  static const char* const kCaption;
  static const char* const kTitle;
  static const int kClientWidth = 403, kClientHeight = 208;
  enum : WORD {
    kTitleId = 100, kYesTextId = 101, kNoTextId = 102, kFrameId = 103, kRequiredId = 104,
    kDrivesLabelId = 105, kDrivesId = 106, YesBtn = IDOK, NoBtn = IDCANCEL
  };

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void Layout(HWND dlg);
  void InitDialog(HWND dlg);
  void DrawRow(const DRAWITEMSTRUCT& d) const;
  void Command(HWND dlg, WORD id);  // Yes or No
};

}  // namespace tolvex
