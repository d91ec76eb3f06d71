#include "UParams.h"

#include <windows.h>

#include <vector>

#include "UApp.h"
#include "UCmdLine.h"
#include "UGetAppPath.h"
#include "UInstallLog.h"
#include "UInstallParams.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UScript.h"
#include "USourceCheck.h"
#include "UText.h"

namespace tolvex {

std::string ScriptFileName() { return ChangeFileExt(ParamStr(0), ".ini"); }

static std::string ReadIniText(const std::string& file, const char* key, const std::string& def) {
  std::vector<char> buf(1024);
  for (;;) {
    DWORD n = GetPrivateProfileStringA("INSTALL", key, def.c_str(), buf.data(), static_cast<DWORD>(buf.size()),
                                       file.c_str());
    if (n < buf.size() - 2 || buf.size() >= 1u << 20) return std::string(buf.data(), n);
    buf.resize(buf.size() * 4);  // the value may be longer than the buffer
  }
}

void ReadInstallSection(const std::string& file, InstallParams& p,
                        std::vector<std::pair<std::string, std::string>>* notNumbers) {
  struct TextKey {
    const char* key;
    std::string* value;
  } texts[] = {
      {"productname", &p.productname}, {"SrchDir", &p.SrchDir}, {"ExeAssoc", &p.ExeAssoc},
      {"DefaultGroup", &p.DefaultGroup}, {"DefaultGroup_UserInstall", &p.DefaultGroup_UserInstall},
      {"SelectFolderPrompt", &p.SelectFolderPrompt}, {"IdFile", &p.IdFile}, {"OtherDir", &p.OtherDir},
      {"HHUpgrade", &p.HHUpgrade}, {"WMP64Installer", &p.WMP64Installer}, {"WMP71Installer", &p.WMP71Installer},
      {"WMP10Installer", &p.WMP10Installer}, {"WMP11Installer", &p.WMP11Installer}, {"WMP8Codecs", &p.WMP8Codecs},
      {"WMP9Codecs", &p.WMP9Codecs}, {"IE4Install", &p.IE4Install}, {"IE4InstallCmdLine", &p.IE4InstallCmdLine},
      {"CC32Upgrade", &p.CC32Upgrade}, {"ReadmeFile", &p.ReadmeFile}, {"AppNotFoundPrompt", &p.AppNotFoundPrompt},
      {"UnInstall_Name", &p.UnInstall_Name}, {"DefaultAppRunDir", &p.DefaultAppRunDir},
      {"SWF6InstallerPath", &p.SWF6InstallerPath}, {"SWF8InstallerPath", &p.SWF8InstallerPath},
      {"SWFInstallerPath", &p.SWFInstallerPath}, {"SWFInstallerPath2", &p.SWFInstallerPath2},
      {"SWFVersion", &p.SWFVersion},
  };
  for (const TextKey& k : texts) *k.value = ReadIniText(file, k.key, *k.value);
  struct BoolKey {
    const char* key;
    bool* value;
  } bools[] = {
      {"ShowShortcutErrors", &p.ShowShortcutErrors}, {"ShowShortCutWin", &p.ShowShortCutWin},
      {"RestartRequired", &p.RestartRequired}, {"BrowseFolderRequiresEXE", &p.BrowseFolderRequiresEXE},
      {"PatchCD", &p.PatchCD}, {"UnInstall", &p.UnInstall}, {"CopyVideos", &p.CopyVideos},
  };
  for (const BoolKey& k : bools) {
    std::string text = ReadIniText(file, k.key, "");
    long long v = 0;
    if (ParseScriptInt(text, v)) *k.value = v != 0;
    else if (!text.empty() && notNumbers) notNumbers->emplace_back(k.key, text);
  }
}

std::string SetupDirFromArgument() {
  if (ParamCount() < 2) return {};
  std::string arg = RemoveTrailingBackslashes(ParamStr(2));
  if (arg == "." || (!arg.empty() && arg[0] == '/')) return RemoveTrailingBackslashes(ExtractFileDir(ParamStr(0)));
  return arg;
}

static void ComputeFixedFolders() {
  InstallParams& p = Params();
  p.setupdirup1 = ParentFolder(p.setupdir);
  p.setupdirup2 = ParentFolder(p.setupdirup1);
  p.setupdirup3 = ParentFolder(p.setupdirup2);
  p.setupparentdir = p.setupdirup1;
  p.windir = GetWindowsDir();
  p.winsysdir = GetSystemDir();
  p.programfilesdir = GetProgramFilesDir();
  p.flashcfgdir = p.winsysdir + "\\Macromed\\Flash\\FlashPlayerTrust";
  p.exedir = GetAppPath(p.ExeAssoc, p.DefaultAppRunDir, "", true);
  p.exedirup1 = ParentFolder(p.exedir);
  p.exedirup2 = ParentFolder(p.exedirup1);
  p.exedirup3 = ParentFolder(p.exedirup2);
  for (std::string* v : {&p.setupdir, &p.setupdirup1, &p.setupdirup2, &p.setupdirup3, &p.setupparentdir,
                         &p.windir, &p.winsysdir, &p.programfilesdir, &p.flashcfgdir, &p.exedir, &p.exedirup1,
                         &p.exedirup2, &p.exedirup3})
    if (EndsWithChar(*v, '\\')) v->pop_back();
}

static void LogFolderBlock() {
  const InstallParams& p = Params();
  LogLine("_dir_setupdir       = " + p.setupdir);
  LogLine("_dir_setupparentDir = " + p.setupparentdir);
  LogLine("_dir_windir         = " + p.windir);
  LogLine("_dir_winsysdir      = " + p.winsysdir);
  LogLine("_dir_FlashCfgDir    = " + p.flashcfgdir);
  LogLine("_dir_programfilesdir= " + p.programfilesdir);
  LogLine("_dir_exedir         = " + p.exedir);
}

static void Fail(const std::string& message) {
  ShowPlainMessage(message);
  LogLine("** Error: " + message);
}

// The required keys, checked in this order; the first empty one is reported.
static bool RequiredKeysPresent() {
  for (const RequiredInstallKey& k : RequiredInstallKeys())
    if ((Params().*k.value).empty()) {
      Fail(Format("Internal error: Tolvex.ini parameter \"%s=\" not found!", {k.name}));
      return false;
    }
  return true;
}

// Everything beside the program (the script first) is read through the ANSI file
// functions, which take at most MAX_PATH - 1 characters. A longer folder would make the
// script look missing; say what is really wrong instead.
static bool ProgramFolderFits() {
  std::string folder = ExtractFileDir(ParamStr(0));
  size_t limit = MAX_PATH - 1 - 1 - ExtractFileName(ScriptFileName()).size();
  if (folder.size() <= limit) return true;
  std::string length = std::to_string(folder.size()), most = std::to_string(limit);
  ShowPlainMessage(ExpandMessage(
      "The path of the folder Tolvex.exe was started from is too long: %s characters, where Windows allows "
      "at most %s.||Copy the installation files to a folder with a shorter path and start Tolvex.exe there.",
      {length, most}));
  LogLine("** Error: program folder path too long (%s characters, at most %s): \"%s\"", length, most, folder);
  return false;
}

static bool Finish(bool result) {
  SetAppTitle(SetupTitle());
  LogLine(">End GetAllParameters()");
  SaveInstallLog();
  return result;
}

bool GetAllParameters() {
  LogLine(">Start GetAllParameters()");
  SaveInstallLog();
  if (!ProgramFolderFits()) return false;
  std::string script = ScriptFileName();
  if (!FileExists(script)) {
    ShowPlainMessage(ExpandProductText("Install file not found! ||File Tolvex.ini must always be installed with Tolvex.exe!"));
    LogLine("** Error: Tolvex.INI not found");
    return false;
  }
  ScriptFile().path = script;
  ReadInstallSection(script, Params());
  // From here on every question carries the product's name.
  SetAppTitle(SetupTitle());
  InstallParams& p = Params();
  p.setupdir = SetupDirFromArgument();
  if (!RequiredKeysPresent()) return Finish(false);
  if (p.setupdir.empty()) {
    Fail("Internal Error: 2nd parameter for Tolvex.exe must be Installsheild <SRCDIR> or . or / or /NoParam. "
         "<InstallDir> for /SetPath");
    return Finish(false);
  }
  ComputeFixedFolders();
  LogFolderBlock();
  p.skipFinish = IsSwitchPresent("/skipfinish") || CommandLine().quiet;
  bool result = true;
  if (IsSwitchPresent("/script") || IsSwitchPresent("/script2")) {
    if (p.exedir.empty()) {
      ReportScriptError(AppNotFoundMessage(p.productname));
      return false;
    }
    if (p.exedir == "-") {
      MarkRunDeclined();  // the user chose not to look for the application
      return false;
    }
    result = ValidateInstallSources(result);
  }
  return Finish(result);
}

}  // namespace tolvex
