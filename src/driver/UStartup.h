// Start-up: the command line turned into a run mode.
#pragma once

#include <string>

namespace tolvex {

enum RunMode { kRunEnd = 0, kRunInstall = 1, kRunUninstall = 2 };

RunMode GetStartupMode();
void ShowVersionBanner();
std::string VersionBannerText();
// /test: registers ".aaatest" opened by a copy of this program in "<program folder>\_Test".
void MakeTestAssociation();
// Copies source to target in blocks, unless target has the same time and size already.
bool CopyProgramFile(const std::string& source, const std::string& target);
// /setpath: "path" = SetupDir under both product keys.
void WriteSetPathValues();

}  // namespace tolvex
