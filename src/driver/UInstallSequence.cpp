#include "UInstallSequence.h"

#include <windows.h>

#include "FFinished.h"
#include "FOptional.h"
#include "UApp.h"
#include "UCopyFiles.h"
#include "UDebugLog.h"
#include "UHelpEngine.h"
#include "UInstallParams.h"
#include "UPaths.h"
#include "UProgress.h"
#include "UScript.h"
#include "UShortcuts.h"
#include "UVideos.h"
#include "Uninstall.h"

namespace tolvex {

namespace {

bool DirectoryOfApplication() {
  const std::string& dir = Params().exedir;
  return !dir.empty() && FolderExists(dir);
}

bool List1() { return InstallOptionalItems(Lists().list1); }
bool List2() { return InstallOptionalItems(Lists().list2); }
bool List3() { return InstallOptionalItems(Lists().list3); }
bool List4() { return InstallOptionalItems(Lists().list4); }

// The videos, the common controls and the help components never stop the install: what
// they could not do is in the log and the exit code.
bool Videos() {
  if (Params().CopyVideos) CopyHelpVideos();
  return true;
}

bool CommonControls() {
  if (Params().IE4Install.empty()) UpgradeComCtl32();
  return true;
}

bool HelpComponents() {
  UpdateIE4HHEtcIfRequired();
  return true;
}

struct Stage {
  const char* name;
  bool (*run)();  // false: the install stops, and the stages after it are not run
};

const Stage kStages[] = {
    {"files", &CopyFilesSection}, {"LIST1", &List1},          {"LIST2", &List2},
    {"LIST3", &List3},            {"LIST4", &List4},          {"videos", &Videos},
    {"shortcuts", &MakeShortcuts}, {"run items", &RunItems},  {"common controls", &CommonControls},
    {"help components", &HelpComponents},
};

// Whatever happened before: what was copied is recorded for the uninstaller.
void CompleteRecord() {
  const InstallParams& p = Params();
  if (!DirectoryOfApplication()) return;
  ClearHelpRootPolicy();
  // A failure here has been shown; it changes how the run ends, not what follows.
  if (p.UnInstall && !CompleteUninstSetup(p.UnInstall_Name, p.exedir)) MarkRunFailed();
}

}  // namespace

bool RunInstallSequence() {
  const InstallParams& p = Params();
  // An install whose record could not be kept stops before it changes anything.
  if (p.UnInstall && DirectoryOfApplication() && !PrepareUninstallRecord(p.exedir)) return false;
  bool result = true;
  for (const Stage& stage : kStages) {
    DebugLog(">Install stage: %s", stage.name);
    result = stage.run();
    DebugLog(">Install stage: %s - %s", stage.name, result ? "done" : "the install stops here");
    if (!result) break;
  }
  CompleteRecord();
  SetStatus("Setup Complete!");
  FlushStatus();
  if (result && !p.skipFinish) {
    if (App().mainForm) ShowWindow(App().mainForm, SW_HIDE);
    ShowFinishDialog();
  }
  if (result && p.RestartRequired) App().restartNeeded = true;
  return result;
}

}  // namespace tolvex
