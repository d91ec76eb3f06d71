#include "ULog.h"

#include "UPaths.h"
#include "URunState.h"

namespace tolvex {

static InstallLogState g_installLog;

InstallLogState& InstallLog() { return g_installLog; }

void CreateInstallLog() {
  g_installLog.lines.clear();
  g_installLog.exists = true;
}

void FreeInstallLog() {
  g_installLog.lines.clear();
  g_installLog.exists = false;
  g_installLog.save = nullptr;
}
static const bool kFreeInstallLogRegistered = RegisterStateReset(&FreeInstallLog);

void SaveInstallLogFile() {
  if (g_installLog.exists && g_installLog.save) g_installLog.save();
}

void LogError(const std::string& what, unsigned long errorCode) {
  LogLine("** Error: " + what + ": " + SystemErrorText(errorCode));
}

void LogLine(const std::string& text) {
  if (g_installLog.exists) g_installLog.lines.push_back(text);
}

void LogLineArgs(const std::string& fmt, const std::vector<FmtArg>& args) {
  if (g_installLog.exists) g_installLog.lines.push_back(Format(fmt, args));
}

}  // namespace tolvex
