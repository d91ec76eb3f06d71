#include "UInstallLog.h"

#include <windows.h>

#include <cstring>

#include "UCmdLine.h"
#include "UDebugLog.h"
#include "UFileVersion.h"
#include "UHelpEngine.h"
#include "UInstallParams.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UPaths.h"
#include "UText.h"
#include "URunState.h"

namespace tolvex {

static InstallLogFileState g_logFile;

InstallLogFileState& InstallLogFile() { return g_logFile; }
void ResetInstallLogFile() { g_logFile = InstallLogFileState(); }

static std::string LogBaseName() {
  if (IsSwitchPresent("/NTcheck")) return "installLog_NTCheck";
  if (IsSwitchPresent("/check")) return "installLog_Check";
  if (IsSwitchPresent("/tolvex")) return "installLog_Tolvex";
  if (IsSwitchPresent("/Uninstall")) return "installLog_Uninstall";
  return "installLog";
}
static const bool kResetInstallLogFileRegistered = RegisterStateReset(&ResetInstallLogFile);

static std::string LogTag(const std::string& appFolder) {
  std::string tag = Params().productname;
  if (tag.empty()) tag = ExtractFileName(RemoveTrailingBackslashes(appFolder));
  return tag;
}

std::string InstallLogFileName(const std::string& appFolder) {
  if (appFolder.empty() || !FolderExists(appFolder)) return {};
  std::string tag = LogTag(appFolder);
  if (!tag.empty()) tag = "(" + tag + ")";
  std::string parent = ParentFolder(appFolder);
  if (parent.empty()) parent = "c:";
  if (!FolderExists(parent)) return {};
  return parent + "\\" + LogBaseName() + tag + ".txt";
}

// The same name in the temporary folder, its tag made plain and cut so that the path
// (with the ".$$$" of the replacement being written) fits MAX_PATH and the name one
// folder entry. The name stays the same for the whole run: every save rewrites one file.
static std::string FallbackLogFileName(const std::string& appFolder) {
  std::string folder = GetTempDir(), base = LogBaseName();
  const size_t extras = 2 + 4;  // "()" and ".txt"
  size_t used = folder.size() + 1 + base.size() + extras + 4;
  size_t room = used < MAX_PATH - 1 ? MAX_PATH - 1 - used : 0;
  if (room > 255 - base.size() - extras) room = 255 - base.size() - extras;
  std::string name = LogTag(appFolder), tag;
  for (const char* p = name.c_str(); *p;) {
    const char* next = CharNextA(p);  // never half a double-byte character
    if (tag.size() + static_cast<size_t>(next - p) > room) break;
    bool single = next - p == 1;
    for (; p < next; ++p)
      tag += single && (static_cast<unsigned char>(*p) < ' ' || std::strchr("\\/:*?\"<>|", *p)) ? '_' : *p;
  }
  return folder + "\\" + base + (tag.empty() ? "" : "(" + tag + ")") + ".txt";
}

bool StartLogCopy(const std::string& file) {
  std::string path = FullPathName(file);
  unsigned long err = ERROR_INVALID_NAME;
  if (!path.empty() && WriteFileWhole(path, "", err)) {
    g_logFile.copy = path;
    return true;
  }
  LogError(Format("the log file \"%s\" given with /log= could not be written", {file}), err);
  return false;
}

// The copy an administrator asked for with "/log=": the whole log, whatever became of
// the log's own file.
static void SaveLogCopy(const std::string& content) {
  if (g_logFile.copy.empty()) return;
  unsigned long err = 0;
  if (WriteFileWhole(g_logFile.copy, content, err) || g_logFile.copyFailed) return;
  g_logFile.copyFailed = true;
  LogError(Format("the log file \"%s\" given with /log= could not be written", {g_logFile.copy}), err);
}

void SaveInstallLog() {
  if (!InstallLog().exists) return;
  std::string content;
  for (const std::string& line : InstallLog().lines) content += line + "\r\n";
  SaveLogCopy(content);
  std::string file = InstallLogFileName(Params().exedir);
  // An uninstall always leaves its log: where the folder is gone, in the temporary folder.
  if (file.empty() && IsSwitchPresent("/Uninstall") && !Params().exedir.empty()) {
    if (g_logFile.fallback.empty()) g_logFile.fallback = FallbackLogFileName(Params().exedir);
    file = g_logFile.fallback;
  }
  if (file.empty()) return;
  unsigned long err = 0;
  if (WriteFileWhole(file, content, err)) return;
  // A log that cannot be written never stops a run, but it must not vanish either.
  std::string why = SystemErrorText(err);
  std::string fallback = g_logFile.fallback.empty() ? FallbackLogFileName(Params().exedir) : g_logFile.fallback;
  if (g_logFile.unwritable != file) {
    g_logFile.unwritable = file;
    LogLine("** Error: the install log \"%s\" could not be written: %s; it is written to \"%s\" instead", file, why,
            fallback);
    content += InstallLog().lines.back() + "\r\n";
  }
  g_logFile.fallback = fallback;
  std::string reason = "This install log belongs in \"" + file + "\", which could not be written: " + why;
  WriteFileWhole(fallback, reason + "\r\n" + content, err);
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
