#include "UCorvane.h"

#include <windows.h>

#include "UPaths.h"
#include "URegistry.h"
#include "UText.h"
#include "URunState.h"

namespace tolvex {

static CorvaneConfigRec g_corvane;

CorvaneConfigRec& CorvaneConfig() { return g_corvane; }
void ResetCorvaneConfig() { g_corvane = CorvaneConfigRec(); }

// A tool path names either its folder or a file in it.
static std::string FolderOfPath(const std::string& path) {
  return FolderExists(path) ? path : ExtractFileDir(path);
}
static const bool kResetCorvaneConfigRegistered = RegisterStateReset(&ResetCorvaneConfig);

static void ProbeServerFolder(const std::string& folder) {
  if (folder.empty()) return;
  std::string manager = RemoveTrailingBackslashes(folder) + "\\ConfigManager.exe";
  if (g_corvane.configManager.empty() && FileExists(manager)) g_corvane.configManager = manager;
  if (g_corvane.serverFolder.empty() && FolderExists(folder)) g_corvane.serverFolder = folder;
}

std::string GetCorvaneServerDir() {
  g_corvane = CorvaneConfigRec();
  g_corvane.localPathServer = ReadRegValue(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\MORVASK\\Domains\\Default", "LocalPathServer");
  g_corvane.bootConfigToolPath = ReadRegValue(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\MORVASK\\CMTools\\Configure_BootP", "Path");
  g_corvane.commEngineToolPath =
      ReadRegValue(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\MORVASK\\CMTools\\CommEngine_Configurator", "Path");
  ProbeServerFolder(g_corvane.localPathServer);
  if (!g_corvane.bootConfigToolPath.empty()) ProbeServerFolder(FolderOfPath(g_corvane.bootConfigToolPath));
  if (!g_corvane.commEngineToolPath.empty()) ProbeServerFolder(FolderOfPath(g_corvane.commEngineToolPath));
  if (FileExists(g_corvane.configManager)) g_corvane.serverFolder = ExtractFileDir(g_corvane.configManager);
  return g_corvane.serverFolder;
}

}  // namespace tolvex
