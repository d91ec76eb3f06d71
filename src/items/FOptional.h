// The optional components of one LIST section: offered in their own check-list dialog,
// the ticked ones copied, and those already on the PC brought up to date whatever the
// user ticks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "UFileItem.h"
#include "UScript.h"

namespace tolvex {

// One line of the section, parsed.
struct OptionalItemRec {
  FileItem item;
  ParseStatus status = ParseStatus::OK;
  bool listed = false;  // offered as a row of the dialog
  bool ticked = false;  // to be copied in the install pass
};

// The section being handled, in script order; rebuilt for each section.
struct OptionalItemsState {
  std::vector<OptionalItemRec> items;
};
OptionalItemsState& OptionalItems();
void ResetOptionalItems();

// The stage for one section; false when the install is to stop.
bool InstallOptionalItems(const ScriptSectionList& lines);
// Listed and ticked from each item's selection code and condition file; a line in error
// or ruled out by its language condition is neither listed nor updated. False when no
// item is listed.
bool PresetOptionalItems();
// Updates every item whose destination file exists, then copies the listed items still
// ticked; false (at once) when a copy failed and the user chose to stop.
bool CopyOptionalItems();

class TOptionalForm {
 public:
  // The rows are the listed items; on closing, their ticked flags become the rows' check
  // boxes when closed with OK, false otherwise.
  explicit TOptionalForm(std::vector<OptionalItemRec>& items) : items_(items) {}
  // IDOK or IDCANCEL.
  INT_PTR ShowModal();

  static const char* const kCaption;
  static const char* const kLabel;
  static const int kMinWidth = 423, kMinHeight = 423;
  enum : WORD { kLabelId = 100, kListId = 101, kGroupId = 102, kDescId = 103, kOkId = IDOK, kCancelId = IDCANCEL };

 private:
  static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void Populate(HWND dlg);
  void Layout(HWND dlg);
  void SelectionChanged(HWND dlg);
  void Close(HWND dlg, INT_PTR result);
  std::vector<OptionalItemRec>& items_;
  bool selectionPending_ = false;
};

}  // namespace tolvex
