// The run-wide record of [INSTALL] settings and the folders computed from them. Filled
// once while the parameters are read, then read by every subsystem.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

struct InstallParams {
  // [INSTALL] texts
  std::string productname, SrchDir, ExeAssoc, DefaultGroup, DefaultGroup_UserInstall,
      SelectFolderPrompt, IdFile, OtherDir, HHUpgrade, WMP64Installer, WMP71Installer,
      WMP10Installer, WMP11Installer, WMP8Codecs, WMP9Codecs, IE4Install, IE4InstallCmdLine,
      CC32Upgrade, ReadmeFile, AppNotFoundPrompt, UnInstall_Name = "Tesmora Documentation",
      DefaultAppRunDir, SWF6InstallerPath, SWF8InstallerPath, SWFInstallerPath,
      SWFInstallerPath2, SWFVersion;
  // [INSTALL] booleans
  bool ShowShortcutErrors = true, ShowShortCutWin = true, RestartRequired = false,
       BrowseFolderRequiresEXE = true, PatchCD = false, UnInstall = false, CopyVideos = true;
  // Fixed directory identifiers, none with a trailing backslash.
  std::string setupdir, setupdirup1, setupdirup2, setupdirup3, setupparentdir, windir,
      winsysdir, programfilesdir, flashcfgdir, exedir, exedirup1, exedirup2, exedirup3;
  bool skipFinish = false;
};

InstallParams& Params();
void ResetParams();

// The keys a script must give, in the order the install checks them; name is how its
// message spells the key.
struct RequiredInstallKey {
  const char* name;
  std::string InstallParams::*value;
};
const std::vector<RequiredInstallKey>& RequiredInstallKeys();

}  // namespace tolvex
