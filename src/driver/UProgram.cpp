#include "UProgram.h"

#include <windows.h>

#include <exception>

#include "FMain.h"
#include "UApp.h"
#include "UAppRegInfo.h"
#include "UCmdLine.h"
#include "UDebugLog.h"
#include "UDirIdent.h"
#include "UInstallLog.h"
#include "ULocale2.h"
#include "ULog.h"
#include "UMessages.h"
#include "UPaths.h"
#include "UQuestion.h"
#include "UScript.h"
#include "UStartup.h"

namespace tolvex {

static void LoadProgram(const std::string& commandLine, const std::string& programPath) {
  InitCommandLine(commandLine, programPath);
  SetupDebugLog();
  MatchCurrentLanguage();
  CreateScriptLists();
  CreateInstallLog();
  InitQuestionSeam(CommandLine().answersFile, CommandLine().transcriptFile, CommandLine().answersGiven);
  StartHelpClientDebugLog();
}

static void ExitProgram() {
  FreeScriptLists();
  ResetDirIdents();
  SaveInstallLog();
  FreeInstallLog();
  ResetMsiLibrary();
}

// An error that escapes a stage ends the run in the application's error box, never in
// the system's crash dialog.
static void ReportEscapedError(const char* what) {
  LogLine(std::string("** Error: ") + what);
  ShowErrorBox(what);
}

int RunProgram(const std::string& commandLine, const std::string& programPath) {
  App().exitCode = 0;
  try {
    LoadProgram(commandLine, programPath);
    RunMode mode = GetStartupMode();
    if (mode != kRunEnd) RunMainWindow(mode);
  } catch (const std::exception& e) {
    ReportEscapedError(e.what());
    App().exitCode = 1;
  } catch (...) {
    ReportEscapedError("Unexpected error.");
    App().exitCode = 1;
  }
  try {
    ExitProgram();
  } catch (...) {
    App().exitCode = 1;
  }
  return App().exitCode;
}

}  // namespace tolvex
