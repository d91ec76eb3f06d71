#include "USecondDisk.h"

#include <windows.h>

#include "UApp.h"
#include "UCmdLine.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UQuestion.h"
#include "UText.h"
#include "UWinExec.h"

namespace tolvex {

namespace {

const char* const kInsertDisk =
    "Please remove the CD and insert the %s Help && Videos CD.||Press OK to continue the installation!";
const char* const kNotInstalled =
    "You have chosen not to install Tolvex. Online help, patches and other support files have not been "
    "installed.\r\rContinue installation? Click \"Yes\" to continue or \"No\" to quit the install program.";
const char* const kPatchCd = "|Remove the CD-ROM, restart Windows and insert the Patches CD-ROM if available.";
const char* const kRestart =
    "Important: To complete the application software installation, you must now restart Windows.";

bool IsAbsoluteFolder(const std::string& folder) {
  // A share written with backslashes is as absolute as one written with slashes; taken
  // as a relative name it would be looked for below every drive and never found.
  return FindChar(folder, ':') != std::string::npos || folder.compare(0, 2, "//") == 0 ||
         folder.compare(0, 2, "\\\\") == 0;
}

std::string StripBackslashes(const std::string& text) {
  size_t first = text.find_first_not_of('\\');
  if (first == std::string::npos) return {};
  return RemoveTrailingBackslashes(text.substr(first));
}

bool IsSecondDiskDrive(char letter) {
  std::string root = std::string(1, letter) + ":\\";
  switch (GetDriveTypeA(root.c_str())) {
    case DRIVE_FIXED:
    case DRIVE_CDROM: return true;
    // Floppy drives are not where a product disk goes, and touching one is slow.
    case DRIVE_REMOVABLE: return letter > 'c';
    default: return false;
  }
}

// An unattended run that got OK only because nobody answered would ask for the disk for
// ever: nobody is there to insert it.
bool OkTakenByDefault() { return QuestionSeam().unattended && QuestionSeam().lastSource == "default"; }

bool SearchOnce(const std::string& setupFile, std::string& found) {
  const InstallParams& p = Params();
  found.clear();
  LogLine(">Tolvex: debug - _ini_SrchDir = " + p.SrchDir);
  for (const std::string& base : {p.setupdir, p.setupparentdir}) {
    CheckDir(found, base + "\\" + p.SrchDir, setupFile);
    CheckDir(found, base + "\\Tolvex\\" + p.SrchDir, setupFile);
  }
  if (found.empty()) {
    FileSearchResult r = DoFileSearch2(p.SrchDir, setupFile);
    found = r.found;
    LogLine(">Tolvex: debug - DoFileSearch2() returned = " + found);
    LogLine(">>" + r.trace);
  }
  if (!p.OtherDir.empty()) CheckDir(found, p.OtherDir, setupFile);
  return !found.empty();
}

}  // namespace

void CheckDir(std::string& found, const std::string& folder, const std::string& setupFile) {
  std::string setup = folder + "\\" + setupFile;
  std::string id = folder + "\\" + Params().IdFile;
  LogLine(">Tolvex: debug - FileExists(%s) AND FileExists(%s) = %s", setup, id, found);
  if (found.empty() && FileExists(setup) && FileExists(id)) {
    found = setup;
    LogLine(">Tolvex: debug - CheckDir(%s) = %s", folder, found);
  }
}

FileSearchResult DoFileSearch2(const std::string& folderName, const std::string& fileName) {
  std::string folder = Trim(folderName), file = Trim(fileName);
  FileSearchResult r;
  r.trace = "*";
  if (file.empty()) return r;
  auto tryFile = [&r](const std::string& path) {
    r.trace += "\r\nFileExists(" + path + ")";
    if (!FileExists(path)) return false;
    r.found = path;
    r.trace += "==> Found\r\naIDFile = ";
    return true;
  };
  if (IsAbsoluteFolder(folder)) {
    tryFile(RemoveTrailingBackslashes(folder) + "\\" + file);
    return r;
  }
  std::string inner = StripBackslashes(folder);
  std::string enclosed = inner.empty() ? "\\" : "\\" + inner + "\\";
  // The program's folder as the rest of the run knows it (the source folder "." too).
  std::string programDir = RemoveTrailingBackslashes(ExtractFileDir(ParamStr(0)));
  if (tryFile(programDir + enclosed + file) || tryFile(ParentFolder(programDir) + enclosed + file)) return r;
  DWORD drives = GetLogicalDrives();
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    if (!(drives & (1UL << (letter - 'a'))) || !IsSecondDiskDrive(letter)) continue;
    if (tryFile(std::string(1, letter) + ":" + enclosed + file)) return r;
  }
  return r;
}

std::string PassOnText(const std::vector<std::string>& args) {
  std::string text;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) text += ' ';
    // The command line lost its quotes when it was split; an argument with a blank
    // would reach the setup as two.
    bool quote = args[i].empty() || args[i].find_first_of(" \t") != std::string::npos;
    text += quote ? "\"" + args[i] + "\"" : args[i];
  }
  return text;
}

void RunSecondDisk(const std::string& setupFile, const std::vector<std::string>& passOn, std::string& found) {
  const InstallParams& p = Params();
  SetAppTitle(SetupTitle());
  while (!SearchOnce(setupFile, found)) {
    if (AskOkCancel(ExpandProductText(kInsertDisk))) {
      if (!OkTakenByDefault()) {
        LogLine(">Tolvex: insert the disk - OK: searching again");
        continue;
      }
      LogLine(">Tolvex: insert the disk - OK by default in an unattended run: taken as Cancel");
    }
    if (AskYesNo(ExpandProductText(kNotInstalled)))
      LogLine(">Tolvex: not installed - Yes: going on without the second disk");
    else {
      LogLine(">Tolvex: not installed - No: quitting the install program");
      MarkRunDeclined();
    }
    break;
  }
  if (!found.empty()) {
    std::string params = PassOnText(passOn);
    LogLine(">Tolvex: Running - " + found + ", Params=\"" + params + "\"");
    int rc = OpenWithShell(found, params, true);
    if (rc <= 32) LogLine("** Error: \"%s\" could not be started: ShellExecute returned %d", found, rc);
    return;
  }
  LogLine("** Error: second disk's \"%s\" not found (SrchDir = \"%s\", IdFile = \"%s\", OtherDir = \"%s\")", setupFile,
          p.SrchDir, p.IdFile, p.OtherDir);
  if (p.PatchCD)
    ShowInformation(ExpandProductText(kPatchCd));
  else if (p.RestartRequired)
    ShowInformation(ExpandProductText(kRestart));
}

}  // namespace tolvex
