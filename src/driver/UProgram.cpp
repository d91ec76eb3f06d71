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

// False when the run must not start: an unattended run whose answers cannot be read, or
// whose transcript or log copy cannot be written, would guess or go unrecorded.
static bool LoadProgram(const std::string& commandLine, const std::string& programPath) {
  InitCommandLine(commandLine, programPath);
  SetupDebugLog();
  MatchCurrentLanguage();
  CreateScriptLists();
  CreateInstallLog();
  InstallLog().save = &SaveInstallLog;
  const CommandLineState& c = CommandLine();
  // A quiet run has nobody to ask: its questions take their defaults, or an answers file's answers.
  bool seamReady = InitQuestionSeam(c.answersFile, c.transcriptFile, c.answersGiven || c.quiet);
  if (c.logGiven) seamReady = StartLogCopy(c.logFile) && seamReady;
  StartHelpClientDebugLog();
  if (seamReady) return true;
  // Nothing else has been written yet; the debug log keeps the reason where one is kept.
  for (const std::string& line : InstallLog().lines) DebugLog(line);
  DebugLog("** The run ends before it changes anything.");
  return false;
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

// Only the runs that install, uninstall or hand over to a second disk report how they
// ended; the checks, /setpath, /test and the banner end with 0 (or their own verdict).
static bool ReportsOutcome() {
  for (const char* sw : {"/script", "/script2", "/Uninstall", "/tolvex"})
    if (IsSwitchPresent(sw)) return true;
  return false;
}

int RunProgram(const std::string& commandLine, const std::string& programPath) {
  ResetApp();
  bool broken = false;  // the run could not start, or an error escaped it
  try {
    if (LoadProgram(commandLine, programPath)) {
      RunMode mode = GetStartupMode();
      if (mode != kRunEnd) RunMainWindow(mode);
    } else {
      broken = true;
    }
  } catch (const std::exception& e) {
    ReportEscapedError(e.what());
    broken = true;
  } catch (...) {
    ReportEscapedError("Unexpected error.");
    broken = true;
  }
  if (broken) MarkRunFailed();
  // The install log's last line says how the run ended, for whoever reads it afterwards.
  if (IsSwitchPresent("/script") || IsSwitchPresent("/script2")) {
    const AppState& a = App();
    LogLine("Summary: %d copied, %d up to date, %d failed - exit code %d", a.itemsCopied, a.itemsUpToDate,
            a.itemsFailed, RunExitCode());
  }
  try {
    ExitProgram();
  } catch (const std::exception& e) {
    // The install log is being written or is gone: the debug log (where kept) says why.
    DebugLog(std::string("** Error: the run could not end cleanly: ") + e.what());
    broken = true;
  } catch (...) {
    DebugLog("** Error: the run could not end cleanly: an unknown error");
    broken = true;
  }
  if (broken) MarkRunFailed();
  return broken || ReportsOutcome() ? RunExitCode() : App().exitCode;
}

}  // namespace tolvex
