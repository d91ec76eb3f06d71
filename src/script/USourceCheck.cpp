#include "USourceCheck.h"

#include <windows.h>

#include <vector>

#include "UApp.h"
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

std::string SourcePathBelow(const std::string& path, const std::string& programDir) {
  if (!IsRelativeSourcePath(path)) return path;
  if (path[0] != '.' && path[0] != '\\') return programDir + "\\" + path;
  std::string joined = path[0] == '\\' ? ExtractDrive(programDir) + path : programDir + "\\" + path;
  return FullPathName(joined);
}

static std::string BelowProgramFolder(const std::string& path) { return SourcePathBelow(path, ModuleDir()); }

std::string MakeSourcePathAbsolute(const std::string& path) {
  if (IsRelativeSourcePath(path) && (path[0] == '.' || path[0] == '\\')) {
    // The program's folder stays the current one from here on: later relative paths
    // and the programs started later see it too.
    std::string programDir = ModuleDir();
    if (!SetCurrentDirectoryA(programDir.c_str()))
      LogError(Format("\"%s\" could not be made the current folder", {programDir}), GetLastError());
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
    if (!result) MarkRunDeclined();
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

const std::vector<InstallerPathKey>& InstallerPathKeys() {
  static const std::vector<InstallerPathKey> keys = {
      {"HHUpgrade", &InstallParams::HHUpgrade, 1},
      {"IE4Install", &InstallParams::IE4Install, 2},
      {"WMP64Installer", &InstallParams::WMP64Installer, 0},
      {"WMP71Installer", &InstallParams::WMP71Installer, 0},
      {"WMP10Installer", &InstallParams::WMP10Installer, 0},
      {"WMP11Installer", &InstallParams::WMP11Installer, 0},
      {"WMP8Codecs", &InstallParams::WMP8Codecs, 0},
      {"WMP9Codecs", &InstallParams::WMP9Codecs, 0},
      {"CC32Upgrade", &InstallParams::CC32Upgrade, 0},
      {"ReadmeFile", &InstallParams::ReadmeFile, 0},
      {"SWF6InstallerPath", &InstallParams::SWF6InstallerPath, 0},
      {"SWF8InstallerPath", &InstallParams::SWF8InstallerPath, 0},
      {"SWFInstallerPath", &InstallParams::SWFInstallerPath, 0},
      {"SWFInstallerPath2", &InstallParams::SWFInstallerPath2, 0},
  };
  return keys;
}

bool ValidateInstallSources(bool result) {
  InstallParams& p = Params();
  for (const InstallerPathKey& k : InstallerPathKeys())
    result = k.languageFlag ? ExpandValidateLangSrcPath(result, p.*k.value, k.languageFlag)
                            : ExpandValidateSrcPath(result, p.*k.value);
  return result;
}

}  // namespace tolvex
