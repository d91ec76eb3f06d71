#include "UVideos.h"

#include <algorithm>

#include "UByteSizeText.h"
#include "UCopyFiles.h"
#include "FVidCopy.h"
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
#include "USystemDll.h"

namespace tolvex {

namespace {

const char* const kStopQuestion = "Stop installing videos files?";
const char* const kCopyError =
    "Error copying file! Check if drive is full or readonly. Check if destination file is in use.";

// The question the form answers: rows as the user sees them, a candidate path or "No".
Question VideoQuestion(const TVidCopyForm& form) {
  Question q;
  q.box = "videos";
  q.kind = "list";
  q.title = TVidCopyForm::kCaption;
  q.text = TVidCopyForm::kTitle;
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

}  // namespace

std::string RootOf(const std::string& path) {
  std::string drive = ExtractDrive(path);
  return drive.empty() ? drive : drive + "\\";
}

namespace {

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
  FreeSpaceEx freeSpaceEx = ProcAddress<FreeSpaceEx>(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA");
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
