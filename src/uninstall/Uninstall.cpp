#include "Uninstall.h"

#include "ULog.h"
#include "UMessages.h"

namespace tolvex {

static UninstallState g_uninstall;

UninstallState& UninstallList() { return g_uninstall; }
void ResetUninstall() { g_uninstall = UninstallState(); }

void AddFile(const std::string& path) {
  g_uninstall.exists = true;
  g_uninstall.files.push_back(path);
  LogLine("Uninstall _AddFile(%s)", path);
}

std::string GetUninstIDKey(const std::string& prefix, const std::string& folder, const std::string& product) {
  return "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + prefix + "0";
}

bool CompleteUninstSetup(const std::string& displayName, const std::string& folder) {
  if (!g_uninstall.exists || g_uninstall.files.empty()) return true;
  ReportNotBuilt("Recording the install for the uninstaller");
  return false;
}

bool RunUninstall(const std::string& folder) {
  ReportNotBuilt("Uninstalling");
  return false;
}

}  // namespace tolvex
