// The chromatography data system's configuration tools folder on this PC.
#pragma once

#include <string>

namespace tolvex {

struct CorvaneConfigRec {
  std::string localPathServer, bootConfigToolPath, commEngineToolPath, configManager, serverFolder;
};
// The record of the latest lookup (rebuilt by every call).
CorvaneConfigRec& CorvaneConfig();
void ResetCorvaneConfig();

// The folder holding ConfigManager.exe when a probed folder holds it, else the first
// probed folder that exists, else empty.
std::string GetCorvaneServerDir();

}  // namespace tolvex
