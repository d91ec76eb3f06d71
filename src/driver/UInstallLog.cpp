#include "UInstallLog.h"

#include <windows.h>

#include "UCmdLine.h"
#include "UDebugLog.h"
#include "UFileVersion.h"
#include "UHelpEngine.h"
#include "UInstallParams.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UPaths.h"
#include "UText.h"

namespace tolvex {

std::string InstallLogFileName(const std::string& appFolder) {
  if (appFolder.empty() || !FolderExists(appFolder)) return {};
  std::string tag = Params().productname;
  if (tag.empty()) tag = ExtractFileName(RemoveTrailingBackslashes(appFolder));
  if (!tag.empty()) tag = "(" + tag + ")";
  std::string base = "\\installLog";
  if (IsSwitchPresent("/NTcheck")) base = "\\installLog_NTCheck";
  else if (IsSwitchPresent("/check")) base = "\\installLog_Check";
  else if (IsSwitchPresent("/tolvex")) base = "\\installLog_Tolvex";
  std::string parent = ParentFolder(appFolder);
  if (parent.empty()) parent = "c:";
  if (!FolderExists(parent)) return {};
  return parent + base + tag + ".txt";
}

void SaveInstallLog() {
  if (!InstallLog().exists) return;
  std::string file = InstallLogFileName(Params().exedir);
  if (file.empty()) return;
  std::string content;
  for (const std::string& line : InstallLog().lines) content += line + "\r\n";
  unsigned long err = 0;
  WriteFileWhole(file, content, err);  // a log that cannot be written never stops a run
}

void AppendStartupBlock() {
  const LanguageState& lang = CurrentLanguage();
  LogLine(kLogSeparator);
  LogLine("Install - " + DateTimeText());
  LogLine("Tolvex.EXE version " + FileVersionText(ModulePath()));
  LogLine(kLogSeparator);
  LogLine("- Locale Info");
  LogLine(" _LocaleInfoIdx = %d", lang.index);
  if (const LanguageRow* row = LanguageTableRow(lang.index))
    LogLine(" _LocaleIdIdx Desc = " + std::string(row->displayName));
  LogLine(" SysLocale.DefaultLCID = x%.4X", lang.lcid);
  LogLine(" SysLocale.PriLangID = x%.4X", lang.primaryId);
  LogLine(" SysLocale.SubLangID = x%.4X", lang.subId);
  LogLine("");
  LogLine("");
  const std::vector<std::string>& args = CommandLine().logged;
  for (size_t i = 0; i < args.size(); ++i) LogLine("  ParamStr(%d) = %s", static_cast<int>(i), args[i]);
  LogLine("");
}

void AppendParameterBlock() {
  const InstallParams& p = Params();
  const std::pair<const char*, const std::string*> keys[] = {
      {"HHUpgrade", &p.HHUpgrade},         {"IE4Install", &p.IE4Install},
      {"IE4InstallCmdLine", &p.IE4InstallCmdLine},
      {"WMP64Installer", &p.WMP64Installer}, {"WMP71Installer", &p.WMP71Installer},
      {"WMP10Installer", &p.WMP10Installer}, {"WMP11Installer", &p.WMP11Installer},
      {"WMP8Codecs", &p.WMP8Codecs},       {"WMP9Codecs", &p.WMP9Codecs},
      {"SWF6InstallerPath", &p.SWF6InstallerPath}, {"SWF8InstallerPath", &p.SWF8InstallerPath},
      {"SWFInstallerPath", &p.SWFInstallerPath},   {"SWFInstallerPath2", &p.SWFInstallerPath2},
      {"SWFVersion", &p.SWFVersion}};
  LogLine(kLogSeparator);
  for (const auto& k : keys) LogLine(std::string("_ini_") + k.first + " = \"" + *k.second + "\"");
  LogLine(kLogSeparator);
}

void StartHelpClientDebugLog() {
  std::string name = DebugLogName();
  if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(name.c_str());
  }
  TDLogFile* log = DebugLogs().file.get();
  if (!log || !DebugMarkerPresent()) return;
  char sep[8] = ".";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep);
  std::string args;
  const std::vector<std::string>& logged = CommandLine().logged;
  for (size_t i = 1; i < logged.size(); ++i) args += (i > 1 ? " | " : "") + logged[i];
  std::string hhPath = FindHHCtrl();
  std::string hh = FileExists(hhPath) ? FileVersionText(hhPath) : std::string();
  auto header = [&](const char* fmt, const std::string& value) { log->WriteLine(Format(fmt, {"\t" + value})); };
  header("!Filename:             %s", log->Path());
  header("!Date:                 %s", DateTimeText());
  header("!DecimalSeparator:      %s", std::string(1, sep[0]));
  log->WriteLine("-");
  header("!EXE Path =          %s", ParamStr(0));
  header("!Cmdline Param(s) =  %s", args);
  header("!_RunDir =           %s", ExtractFileDir(ParamStr(0)));
  log->WriteLine("-");
  header("!HH Version =        %s", hh);
  header("!IE Version =        %s", GetIEVersion().text);
  log->WriteLine("=");
}

}  // namespace tolvex
