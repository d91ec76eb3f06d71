// The script checker a CD author runs before burning a disc: every problem the script
// shows without the PC it will be installed on, found in one pass. It installs, asks,
// copies and writes nothing but its report.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "UInstallParams.h"

namespace tolvex {

struct VerifyInput {
  std::string script;    // the script file beside the program
  std::string setupDir;  // "<setupdir>"; empty when the command line names no source folder
  InstallParams params;  // [INSTALL] as the install reads it
  // Boolean keys whose value is not a number (key, value as written).
  std::vector<std::pair<std::string, std::string>> notNumbers;
};

struct VerifyProblem {
  int line = 0;  // 1-based line in the script; 0 for the file as a whole
  bool error = true;
  std::string text;
};

struct VerifyReport {
  std::string scriptName;  // the script's file name, as each report line begins
  std::vector<VerifyProblem> problems;
  int Errors() const;
  int Warnings() const;
};

VerifyReport VerifyScript(const VerifyInput& in);
// One "Name(LINE): error: TEXT" or "...: warning: TEXT" line per problem, each ended by CR LF.
std::string VerifyReportText(const VerifyReport& report);

// True when the command line asks for a check: "/verify", or "/verify=FILE" (file gets
// FILE, empty for the plain form).
bool VerifyRequested(std::string* file = nullptr);
// Where the report goes: FILE made full against the current folder, else "verify.txt"
// beside the script.
std::string VerifyReportFile(const std::string& script, const std::string& file);
// Writes the report whole and shows the summary; the exit code: 0 when the report was
// written and holds no error, else 1.
int DeliverVerifyReport(const VerifyReport& report, const std::string& reportFile);

}  // namespace tolvex
