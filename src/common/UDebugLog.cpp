#include "UDebugLog.h"

#include <windows.h>

#include "UCmdLine.h"
#include "UPaths.h"
#include "URunState.h"

namespace tolvex {

static DebugLogState g_debugLog;

DebugLogState& DebugLogs() { return g_debugLog; }
void ResetDebugLog() { g_debugLog = DebugLogState(); }


static std::string TempFolderOrC() {
  std::string t = GetTempDir();
  return t.empty() ? std::string("c:") : t;
}
static const bool kResetDebugLogRegistered = RegisterStateReset(&ResetDebugLog);

std::string DebugLogFolder(const std::string& moduleDir) {
  if (!moduleDir.empty() && ProbeFileCanBeCreated(moduleDir)) return moduleDir;
  return TempFolderOrC();
}

std::string DebugLogName() { return DebugLogFolder(ModuleDir()) + "\\HHDebug.txt"; }

bool DebugMarkerPresent() { return FileExists(ModuleDir() + "\\debug.debug"); }

bool DebugModeRequested() {
  return DebugMarkerPresent() || IsSwitchPresent("/debug") || IsSwitchPresent("-debug");
}

TDLogFile::TDLogFile(const std::string& path, bool append, bool timeStamps, bool enabled)
    : path_(path), enabled_(enabled), timeStamps_(timeStamps), append_(append) {
  std::string folder = ExtractFileDir(path_);
  if (folder.empty() || !FolderExists(folder) || !ProbeFileCanBeCreated(folder))
    path_ = TempFolderOrC() + "\\" + ExtractFileName(path_);
  if (GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!append_) DeleteFileA(path_.c_str());
  }
}

std::string LongTimeText() {
  char buf[128];
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf) : std::string();
}

std::string DateTimeText() {
  char buf[128];
  int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, sizeof buf);
  std::string date = n > 0 ? std::string(buf) : std::string();
  return date + " " + LongTimeText();
}

std::string DebugLineText(const std::string& text, const std::string& timeStamp, bool timeStamps) {
  std::string t = text;
  if (t == "-") t = std::string(80, '-');
  else if (t == "=") t = std::string(80, '=');
  if (!t.empty() && (t[0] == '!' || t[0] == '-' || t[0] == '=')) return t.substr(1);
  return timeStamps ? timeStamp + "   " + t : t;
}

void TDLogFile::WriteLine(const std::string& text) {
  unsigned long err = 0;
  AppendFileText(path_, DebugLineText(text, LongTimeText(), timeStamps_) + "\r\n", err);  // never stops a run
}

void TDLogFile::WriteIfEnabled(const std::string& text) {
  if (enabled_) WriteLine(text);
}

void SetupDebugLog() {
  g_debugLog.debugMode = DebugModeRequested();
  g_debugLog.file.reset(new TDLogFile(DebugLogName(), false, true, g_debugLog.debugMode));
}

void DebugLog(const std::string& text) {
  if (g_debugLog.file) g_debugLog.file->WriteIfEnabled(text);
}

void DebugLogArgs(const std::string& fmt, const std::vector<FmtArg>& args) {
  if (g_debugLog.file && g_debugLog.file->Enabled()) g_debugLog.file->WriteLine(Format(fmt, args));
}

}  // namespace tolvex
