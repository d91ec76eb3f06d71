#include "UVideos.h"

#include <algorithm>

#include "UByteSizeText.h"
#include "UCopyFiles.h"
#include "UDialogTemplate.h"
#include "UInstallParams.h"
#include "UApp.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UQuestion.h"
#include "UText.h"
#include "UWinHandle.h"

namespace tolvex {

const char* const TVidCopyForm::kCaption = "Install Videos";

namespace {

const char* const kTitle = "Install the help Videos?";
const char* const kYesText = "Select YES to copy the Videos from the CDROM to the selected folder.";
const char* const kNoText =
    "Select NO to not copy the files. In this case you will need the CDROM in your CD drive each time you view "
    "a video.";
const char* const kRequiredText = "Total Diskspace Required by Video Files: ";
const char* const kStopQuestion = "Stop installing videos files?";
const char* const kCopyError =
    "Error copying file! Check if drive is full or readonly. Check if destination file is in use.";

// The question the form answers: rows as the user sees them, a candidate path or "No".
Question VideoQuestion(const TVidCopyForm& form) {
  Question q;
  q.box = "videos";
  q.kind = "list";
  q.title = TVidCopyForm::kCaption;
  q.text = kTitle;
  for (const std::string& row : form.Rows) q.text += "\r\n" + row;
  q.defaultAnswer = form.Preselected >= 0 ? form.Candidates[static_cast<size_t>(form.Preselected)] : "No";
  return q;
}

bool NameLess(const std::string& a, const std::string& b) { return LowerAscii(a) < LowerAscii(b); }

void ListFolder(const std::string& source, const std::string& relative, std::vector<VideoFileInfo>& files,
                unsigned long long& total) {
  std::string folder = relative.empty() ? source : source + "\\" + relative;
  std::vector<std::pair<std::string, unsigned long long>> found;
  std::vector<std::string> folders;
  WIN32_FIND_DATAA fd;
  ScopedFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
  if (!find) {
    DWORD err = GetLastError();
    if (err != ERROR_FILE_NOT_FOUND && err != ERROR_NO_MORE_FILES)
      LogError(Format("the video folder \"%s\" cannot be listed", {folder}), err);
    return;
  }
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      folders.push_back(name);
    else
      found.emplace_back(name, (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
  } while (FindNextFileA(find.Get(), &fd));
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return NameLess(a.first, b.first); });
  std::sort(folders.begin(), folders.end(), NameLess);
  std::string prefix = relative.empty() ? std::string() : relative + "\\";
  for (const auto& f : found) {
    files.push_back({prefix + f.first, f.second});
    total += f.second;
  }
  for (const std::string& sub : folders) ListFolder(source, prefix + sub, files, total);
}

// "x:\" or "\\server\share\": what the free space is asked of.
std::string RootOf(const std::string& path) {
  std::string drive = ExtractDrive(path);
  return drive.empty() ? drive : drive + "\\";
}

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

std::string FormatByteSize(long long bytes) {
  char separator[8] = ".";
  if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator)) lstrcpyA(separator, ".");
  return FormatByteSize(bytes, separator);
}

bool GetDriveFreeBytes(const std::string& path, unsigned long long& freeBytes) {
  freeBytes = 0;
  std::string root = RootOf(path);
  if (root.empty()) {
    SetLastError(ERROR_INVALID_DRIVE);
    return false;
  }
  // Asked of the deepest folder that exists: a folder may be another volume mounted
  // into the drive, with space of its own.
  std::string where = root;
  for (std::string at = RemoveTrailingBackslashes(path); at.size() >= root.size(); at = ExtractFileDir(at))
    if (FolderExists(at)) {
      where = IncludeTrailingBackslash(at);
      break;
    }
  // An empty floppy or CD drive must answer "no", not bring up the system's own box.
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  // The 64-bit call came with Windows 95 OSR2; before it only the cluster counts exist.
  using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FreeSpaceEx freeSpaceEx =
      kernel ? reinterpret_cast<FreeSpaceEx>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")))
             : nullptr;
  bool ok = false;
  if (freeSpaceEx) {
    ULARGE_INTEGER forCaller{}, totalBytes{}, totalFree{};
    ok = freeSpaceEx(where.c_str(), &forCaller, &totalBytes, &totalFree) != FALSE;
    if (ok) freeBytes = forCaller.QuadPart;
  } else {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    ok = GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) != FALSE;
    if (ok) freeBytes = static_cast<unsigned long long>(freeClusters) * sectorsPerCluster * bytesPerSector;
  }
  DWORD err = GetLastError();
  SetErrorMode(oldMode);
  SetLastError(err);
  return ok;
}

std::string FindVideoSource() {
  const InstallParams& p = Params();
  std::string driveRoot;
  if (p.setupparentdir.size() >= 2 && p.setupparentdir[1] == ':') driveRoot = p.setupparentdir.substr(0, 2);
  // A folder that is not known is not searched: an empty one would mean the current
  // drive's root.
  const std::string folders[] = {p.setupparentdir, p.setupdir, driveRoot};
  for (const std::string& base : folders) {
    if (base.empty()) continue;
    std::string source = base + "\\Videos";
    for (const char* pattern : {"\\*.avi", "\\*.wmv"})
      if (AnyFileMatches(source + pattern)) return source;
  }
  return std::string();
}

std::vector<VideoFileInfo> ListVideoFiles(const std::string& source, unsigned long long& total) {
  std::vector<VideoFileInfo> files;
  total = 0;
  ListFolder(source, "", files, total);
  return files;
}

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
  for (const Place& p : places) SetWindowPos(GetDlgItem(dlg, p.id), nullptr, p.x, p.y, p.w, p.h, SWP_NOZORDER);
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
      size_t row = d->itemID;
      if (row >= self->Rows.size()) {
        FillRect(d->hDC, &d->rcItem, GetSysColorBrush(COLOR_WINDOW));
        return TRUE;
      }
      const std::string& text = self->Rows[row];
      std::string path = row < self->Candidates.size() ? self->Candidates[row] : std::string();
      if (text.compare(0, path.size(), path) != 0) path.clear();
      DrawDriveRow(*d, path, text.substr(path.size()));
      return TRUE;
    }
    case WM_INITDIALOG: {
      RECT r = {0, 0, kClientWidth, kClientHeight};
      AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(GetWindowLongA(dlg, GWL_EXSTYLE)));
      SetWindowPos(dlg, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
      self->Layout(dlg);
      CenterOnScreen(dlg);
      HWND drives = GetDlgItem(dlg, kDrivesId);
      for (const std::string& row : self->Rows) SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
      if (!self->Rows.empty()) SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(std::max(self->Preselected, 0)), 0);
      WidenDropDown(drives, self->Rows);
      // Nothing to choose: only No is left, so the form can always be closed.
      EnableWindow(GetDlgItem(dlg, YesBtn), !self->Rows.empty());
      SetFocus(drives);
      return FALSE;
    }
    case WM_COMMAND: {
      WORD id = LOWORD(wp);
      if (id != YesBtn && id != NoBtn) return FALSE;
      LRESULT sel = SendDlgItemMessageA(dlg, kDrivesId, CB_GETCURSEL, 0, 0);
      if (!self->Rows.empty() && (sel == CB_ERR || sel >= static_cast<LRESULT>(self->Candidates.size())))
        return TRUE;  // a row must be chosen, whichever way the form is left
      if (id == NoBtn) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      if (self->Rows.empty()) return TRUE;
      const std::string& folder = self->Candidates[static_cast<size_t>(sel)];
      if (!self->AcceptFolder(folder)) {
        // Recorded as a step, so that a replay of the transcript meets the same refusal.
        if (self->question) NoteAnswer(*self->question, folder);
        return TRUE;
      }
      self->ItemIndex = static_cast<int>(sel);
      self->Result = folder;
      EndDialog(dlg, IDOK);
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
  INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, &Proc, reinterpret_cast<LPARAM>(this));
  if (r == -1) LogError("the videos form could not be shown", GetLastError());
  return r == IDOK ? IDOK : IDCANCEL;
}

std::string ChooseVideoFolder(const std::string& appDir, unsigned long long required) {
  TVidCopyForm form;
  form.RequiredSize = required;
  form.AppDir = RemoveTrailingBackslashes(appDir);
  form.Fill();
  Question q = VideoQuestion(form);
  form.question = &q;
  // Twice at most: an answers file whose folder lacks the space gets one more answer,
  // never an endless round.
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string answer = AskQuestion(q, [&] {
      return form.ShowModal(GetActiveWindow()) == IDOK ? form.Result : std::string("No");
    });
    if (EqualsNoCase(answer, "No")) return std::string();
    auto row = std::find_if(form.Candidates.begin(), form.Candidates.end(),
                            [&](const std::string& c) { return EqualsNoCase(c, answer); });
    if (row == form.Candidates.end()) {
      LogLine("** Error: answers file: \"%s\" does not answer the videos form", answer);
      if (q.defaultAnswer == "No") return std::string();
      row = form.Candidates.begin() + form.Preselected;
    }
    // The open form has checked the space already.
    if (QuestionSeam().lastSource == "user" || form.AcceptFolder(*row)) return *row;
  }
  return std::string();
}

bool CopyVideoFiles(const std::string& source, const std::string& destination,
                    const std::vector<VideoFileInfo>& files, unsigned long long total) {
  CopySettings settings;
  settings.mode = CopyMode::AnyDifference;
  settings.reg = "-";
  settings.addToUninstall = Params().UnInstall;
  settings.updateOnly = false;
  // A Cancel pressed during an earlier stage is not a reason to stop this one.
  Progress().cancelled = false;
  ShowProgress(static_cast<long long>(total));
  unsigned long long done = 0;
  bool completed = true;
  for (const VideoFileInfo& f : files) {
    SetStatus("Copying file: " + f.path);
    std::string target = destination + "\\" + f.path;
    if (!CopyOneFile(source + "\\" + f.path, target, settings)) {
      ReportScriptError(std::string(kCopyError) + "\r\"" + target + "\"");
      completed = false;
      break;
    }
    unsigned long long writeTime = 0, size = 0;
    done += GetFileStamp(target, writeTime, size) ? size : f.size;
    UpdateProgress(static_cast<long long>(done));
    ProcessPendingMessages(true);
    if (Cancelled()) {
      if (AskYesNo(kStopQuestion)) {
        LogLine("    Copying the videos stopped by the user after \"%s\"", f.path);
        completed = false;
        break;
      }
      Progress().cancelled = false;
    }
  }
  HideProgress();
  return completed;
}

void CopyHelpVideos() {
  LogLine(">Start CopyHelpVideos()");
  std::string source = FindVideoSource();
  if (source.empty()) {
    LogLine("    No help videos on the install medium");
  } else {
    SetStatus("Installing Videos");
    unsigned long long total = 0;
    std::vector<VideoFileInfo> files = ListVideoFiles(source, total);
    LogLine("    Videos in \"%s\": %d files, %s", source, static_cast<long>(files.size()),
            FormatByteSize(static_cast<long long>(total)));
    std::string destination = ChooseVideoFolder(Params().exedir, total);
    if (destination.empty())
      LogLine("    The videos are not copied: they play from the CD");
    else
      CopyVideoFiles(source, RemoveTrailingBackslashes(destination), files, total);
    // The install goes on after the videos whatever was answered there: a failed copy
    // counts as failed, but stopping the videos does not stop the run.
    App().stopAnswered = false;
  }
  LogLine(">End CopyHelpVideos()");
}

}  // namespace tolvex
