// The dialog that ends a successful install: setup is complete, the release notes can be
// opened from it, and a restart or the patches CD is called for when the run needs it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "UWinHandle.h"

namespace tolvex {

class TFiniForm {
 public:
  enum : int { kIconId = 100, kLabelId = 101, kReadmeId = 102, kFinishedId = IDOK };
  // Pixels at 96 DPI; without release notes the window is this much shorter.
  static const int kClientWidth = 363, kClientHeight = 147, kShrink = 40;
  static const char* const kFinishedAnswer;  // "Finished"
  static const char* const kReadmeAnswer;    // "Read release notes"

  // FormCreate's texts, from the install parameters as they stand now (a prerequisite may
  // have asked for a restart during the run).
  TFiniForm();
  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }
  bool HasReleaseNotes() const { return hasNotes_; }

  // Shows the dialog modally; a release-notes click calls noteClick, then opens them, and
  // the dialog stays. Returns when it is closed.
  void ShowModal(const std::function<void()>& noteClick);
  // Opens the release notes; a failure has been shown by the shell helper.
  void ReadmeBtnClick() const;

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void FormCreate(HWND dlg);

  std::string caption_, text_;
  bool hasNotes_ = false;
  ScopedFont font_;
  std::function<void()> noteClick_;
};

// Returns when the user closes it. Unattended, the "finish" answers can ask for the
// release notes any number of times before "Finished".
void ShowFinishDialog();

}  // namespace tolvex
