#include "USourceCheck.h"

#include <windows.h>

#include <vector>

#include "UDirIdent.h"
#include "UInstallParams.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UText.h"

namespace tolvex {

static bool IsRelativeSourcePath(const std::string& path) {
  bool rooted = (path.size() >= 2 && path[1] == ':') || (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
  return path.size() > 2 && !rooted;
}

// Where a relative path points below the program's folder, without touching the
// current folder.
static std::string BelowProgramFolder(const std::string& path) {
  if (!IsRelativeSourcePath(path)) return path;
  std::string programDir = ModuleDir();
  if (path[0] != '.' && path[0] != '\\') return programDir + "\\" + path;
  std::string joined = path[0] == '\\' ? ExtractDrive(programDir) + path : programDir + "\\" + path;
  char buf[MAX_PATH];
  DWORD n = GetFullPathNameA(joined.c_str(), MAX_PATH, buf, nullptr);
  return n && n < MAX_PATH ? std::string(buf, n) : joined;
}

std::string MakeSourcePathAbsolute(const std::string& path) {
  if (IsRelativeSourcePath(path) && (path[0] == '.' || path[0] == '\\')) {
    // The program's folder stays the current one from here on: later relative paths
    // and the programs started later see it too.
    std::string programDir = ModuleDir();
    if (!SetCurrentDirectoryA(programDir.c_str()))
      LogLine("** Error: \"%s\" could not be made the current folder (error %d)", programDir,
              static_cast<long>(GetLastError()));
  }
  return BelowProgramFolder(path);
}

// An installer path is looked for where it will be taken from: below the program's
// folder when relative, whatever the current folder happens to be.
static bool SourceFileExists(const std::string& path) { return FileExists(BelowProgramFolder(path)); }

bool ExpandValidateSrcPath(bool goOn, std::string& path) {
  if (path.empty()) return goOn;
  LogLine("Start ExpandValidateSrcPath(%s)", path);
  path = ResolveScriptText(path);
  LogLine("  Path Expanded = %s", path);
  if (goOn && !path.empty()) {
    if (SourceFileExists(path)) {
      path = MakeSourcePathAbsolute(path);
    } else {
      LogLine("** Error: Install source file not found - %s", path);
      ShowPlainMessage("Internal Error: Install source file not found - " + path);
      goOn = false;
    }
  }
  if (!path.empty()) LogLine("End ExpandValidateSrcPath()");
  return goOn;
}

static bool LanguageFlag(const LanguageRow& row, int flag) { return flag == 1 ? row.hhUpgradeFlag : row.ie4InstallFlag; }

bool ExpandValidateLangSrcPath(bool goOn, std::string& path, int flag) {
  if (!path.empty()) path = ResolveScriptText(path);
  const bool placeholder = ContainsNoCase(path, "%s");
  std::vector<std::string> missing;
  if (goOn && !path.empty()) {
    if (placeholder) {
      for (int row = 1; row <= kLanguageCount; ++row) {
        const LanguageRow* r = LanguageTableRow(row);
        if (!LanguageFlag(*r, flag)) continue;
        std::string file = ReplaceNoCase(path, "%s", r->name);
        if (!SourceFileExists(file)) missing.push_back(BelowProgramFolder(file));
      }
    } else if (!SourceFileExists(path)) {
      missing.push_back(BelowProgramFolder(path));
    }
  }
  bool result = goOn;
  if (!missing.empty()) {
    std::string text = "Internal Error: The following install file(s) could not be found";
    for (const std::string& m : missing) {
      text += "\r" + m;
      LogLine("** Error: Install source file not found - %s", m);
    }
    result = AskYesNo(text + "\r" + "Continue installation?");
    LogLine(result ? "  Continue installation? Yes" : "  Continue installation? No");
  }
  if (result && placeholder) {
    const LanguageRow* current = LanguageTableRow(CurrentLanguage().index);
    std::string chosen = current ? ReplaceNoCase(path, "%s", current->name) : std::string();
    if (chosen.empty() || !SourceFileExists(chosen)) chosen = ReplaceNoCase(path, "%s", LanguageTableRow(1)->name);
    path = SourceFileExists(chosen) ? MakeSourcePathAbsolute(chosen) : std::string();
    LogLine("  Language Path = %s", path);
  } else if (result && !path.empty() && SourceFileExists(path)) {
    path = MakeSourcePathAbsolute(path);
  }
  return result;
}

bool ValidateInstallSources(bool result) {
  InstallParams& p = Params();
  result = ExpandValidateLangSrcPath(result, p.HHUpgrade, 1);
  result = ExpandValidateLangSrcPath(result, p.IE4Install, 2);
  for (std::string* path : {&p.WMP64Installer, &p.WMP71Installer, &p.WMP10Installer, &p.WMP11Installer,
                            &p.WMP8Codecs, &p.WMP9Codecs, &p.CC32Upgrade, &p.ReadmeFile, &p.SWF6InstallerPath,
                            &p.SWF8InstallerPath, &p.SWFInstallerPath, &p.SWFInstallerPath2})
    result = ExpandValidateSrcPath(result, *path);
  return result;
}

}  // namespace tolvex
