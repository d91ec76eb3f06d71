#include "FVidCopy.h"

#include <algorithm>

#include "UDialogTemplate.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UQuestion.h"
#include "UText.h"
#include "UVideos.h"

namespace tolvex {

const char* const TVidCopyForm::kCaption = "Install Videos";

const char* const TVidCopyForm::kTitle = "Install the help Videos?";

namespace {

const char* const kYesText = "Select YES to copy the Videos from the CDROM to the selected folder.";
const char* const kNoText =
    "Select NO to not copy the files. In this case you will need the CDROM in your CD drive each time you view "
    "a video.";
const char* const kRequiredText = "Total Diskspace Required by Video Files: ";

// The rows are chosen by their free space, which ends the row: when a row is wider than
// its box, the folder path gives way in its middle and the free space stays whole.
void DrawDriveRow(const DRAWITEMSTRUCT& d, const std::string& path, const std::string& rest) {
  bool selected = (d.itemState & ODS_SELECTED) != 0;
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  int color = (d.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
  SetTextColor(d.hDC, GetSysColor(color));
  SetBkMode(d.hDC, TRANSPARENT);
  RECT r = d.rcItem;
  r.left += 2;
  auto fits = [&](const std::string& p) {
    std::string row = p + rest;
    SIZE size{};
    GetTextExtentPoint32A(d.hDC, row.c_str(), static_cast<int>(row.size()), &size);
    return size.cx <= r.right - r.left;
  };
  std::string row = ShortenPath(path, fits) + rest;
  DrawTextA(d.hDC, row.c_str(), static_cast<int>(row.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(d.hDC, &d.rcItem);
}

// The height of a row in the dialog's font; the box's own face a little taller, as an
// ordinary drop-down list has it.
UINT DriveRowHeight(HWND dlg, bool face) {
  TEXTMETRICA tm{};
  WidestText(dlg, {}, &tm);
  return static_cast<UINT>(tm.tmHeight > 0 ? tm.tmHeight : 13) + (face ? 3 : 1);
}

// The open list is as wide as its widest row, so there every row is read whole: the
// rows' margins, the list's border and its scroll bar added.
void WidenDropDown(HWND combo, const std::vector<std::string>& rows) {
  LONG widest = WidestText(combo, rows);
  SendMessageA(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + 8 + GetSystemMetrics(SM_CXVSCROLL)), 0);
}

}  // namespace

void TVidCopyForm::Fill() {
  Candidates.clear();
  Rows.clear();
  Preselected = -1;
  if (!AppDir.empty()) Candidates.push_back(AppDir + "\\help\\videos");
  DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1UL << i))) continue;
    char letter = static_cast<char>('a' + i);
    std::string root = std::string(1, letter) + ":\\";
    UINT type = GetDriveTypeA(root.c_str());
    // A floppy or a drive under c: is no place for videos; a removable disk after it may be.
    if (type == DRIVE_FIXED || (type == DRIVE_REMOVABLE && letter >= 'd')) Candidates.push_back(root + "videos");
  }
  for (size_t i = 0; i < Candidates.size(); ++i) {
    unsigned long long freeBytes = 0;
    bool known = GetDriveFreeBytes(Candidates[i], freeBytes);
    if (!known)
      LogError(Format("the free space of \"%s\" cannot be read", {RootOf(Candidates[i])}), GetLastError());
    Rows.push_back(Candidates[i] + ",  (Free Space = " + FormatByteSize(static_cast<long long>(freeBytes)) + ")");
    if (Preselected < 0 && known && freeBytes > RequiredSize && FolderExists(Candidates[i]))
      Preselected = static_cast<int>(i);
  }
}

bool TVidCopyForm::AcceptFolder(const std::string& folder) const {
  unsigned long long freeBytes = 0;
  // The space is read again: it may have changed since the list was filled.
  if (GetDriveFreeBytes(folder, freeBytes) && freeBytes > RequiredSize) return true;
  std::string drive = folder.size() >= 2 && folder[1] == ':' ? folder.substr(0, 1) : ExtractDrive(folder);
  LogLine("    Not enough free space for the videos in \"%s\": %s free, %s required", folder,
          FormatByteSize(static_cast<long long>(freeBytes)), FormatByteSize(static_cast<long long>(RequiredSize)));
  ShowPlainMessage("Sorry " + drive + ": drive does not contain enough free disk space to contain all the videos.");
  return false;
}

void TVidCopyForm::Layout(HWND dlg) {
  struct Place {
    int id, x, y, w, h;
  } places[] = {
      {kTitleId, 10, 8, 383, 16},        {kYesTextId, 10, 30, 383, 16},     {kNoTextId, 10, 50, 383, 30},
      {kFrameId, 10, 86, 383, 28},       {kRequiredId, 18, 93, 367, 16},    {kDrivesLabelId, 10, 124, 200, 16},
      {kDrivesId, 10, 142, 383, 160},    {YesBtn, 236, 174, 75, 25},        {NoBtn, 318, 174, 75, 25},
  };
  for (const Place& p : places) PlaceControl(dlg, p.id, p.x, p.y, p.w, p.h);
}

void TVidCopyForm::DrawRow(const DRAWITEMSTRUCT& d) const {
  size_t row = d.itemID;
  if (row >= Rows.size()) {
    FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_WINDOW));
    return;
  }
  const std::string& text = Rows[row];
  std::string path = row < Candidates.size() ? Candidates[row] : std::string();
  if (text.compare(0, path.size(), path) != 0) path.clear();
  DrawDriveRow(d, path, text.substr(path.size()));
}

void TVidCopyForm::InitDialog(HWND dlg) {
  SetClientSize(dlg, kClientWidth, kClientHeight);
  Layout(dlg);
  CenterOnScreen(dlg);
  HWND drives = GetDlgItem(dlg, kDrivesId);
  for (const std::string& row : Rows) SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  if (!Rows.empty()) SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(std::max(Preselected, 0)), 0);
  WidenDropDown(drives, Rows);
  // Nothing to choose: only No is left, so the form can always be closed.
  EnableWindow(GetDlgItem(dlg, YesBtn), !Rows.empty());
  SetFocus(drives);
}

void TVidCopyForm::Command(HWND dlg, WORD id) {
  LRESULT sel = SendDlgItemMessageA(dlg, kDrivesId, CB_GETCURSEL, 0, 0);
  if (!Rows.empty() && (sel == CB_ERR || sel >= static_cast<LRESULT>(Candidates.size())))
    return;  // a row must be chosen, whichever way the form is left
  if (id == NoBtn) {
    EndDialog(dlg, IDCANCEL);
    return;
  }
  if (Rows.empty()) return;
  const std::string& folder = Candidates[static_cast<size_t>(sel)];
  if (!AcceptFolder(folder)) {
    // Recorded as a step, so that a replay of the transcript meets the same refusal.
    if (question) NoteAnswer(*question, folder);
    return;
  }
  ItemIndex = static_cast<int>(sel);
  Result = folder;
  EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK TVidCopyForm::Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MEASUREITEM) {  // comes while the controls are made, before WM_INITDIALOG
    MEASUREITEMSTRUCT* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    if (m->CtlID != kDrivesId) return FALSE;
    m->itemHeight = DriveRowHeight(dlg, m->itemID == static_cast<UINT>(-1));
    return TRUE;
  }
  TVidCopyForm* self = DialogForm<TVidCopyForm>(dlg, msg, lp);
  if (!self) return FALSE;
  switch (msg) {
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d->CtlID != kDrivesId) return FALSE;
      self->DrawRow(*d);
      return TRUE;
    }
    case WM_INITDIALOG:
      self->InitDialog(dlg);
      return FALSE;
    case WM_COMMAND: {
      WORD id = LOWORD(wp);
      if (id != YesBtn && id != NoBtn) return FALSE;
      self->Command(dlg, id);
      return TRUE;
    }
  }
  return FALSE;
}

INT_PTR TVidCopyForm::ShowModal(HWND owner) {
  DialogTemplate t(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 270, 140);
  t.AddControl(kTitleId, kStaticClass, kTitle, SS_LEFT, 0, 0, 0, 0);
  t.AddControl(kYesTextId, kStaticClass, kYesText, SS_LEFT, 0, 0, 0, 0);
  t.AddControl(kNoTextId, kStaticClass, kNoText, SS_LEFT, 0, 0, 0, 0);
  t.AddControl(kFrameId, kStaticClass, "", SS_ETCHEDFRAME, 0, 0, 0, 0);
  t.AddControl(kRequiredId, kStaticClass, kRequiredText + FormatByteSize(static_cast<long long>(RequiredSize)),
               SS_LEFT, 0, 0, 0, 0);
  t.AddControl(kDrivesLabelId, kStaticClass, "&Destination Folder:", SS_LEFT, 0, 0, 0, 0);
  t.AddControl(kDrivesId, kComboBoxClass, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0, 0, 0, 0);
  t.AddControl(YesBtn, kButtonClass, "Yes", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0);
  t.AddControl(NoBtn, kButtonClass, "No", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0);
  Result.clear();
  ItemIndex = -1;
  return ShowFormModal(t, &Proc, this, "videos form", owner);
}

}  // namespace tolvex
