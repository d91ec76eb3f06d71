// Reading the script's [INSTALL] section into the run's parameters.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "UInstallParams.h"

namespace tolvex {

// True when the run may go on; the reasons for false have been shown and logged.
bool GetAllParameters();

// The script beside the program: its path with the extension replaced by ".ini".
std::string ScriptFileName();

// [INSTALL] of file into p as the install reads it, and nothing else touched. Boolean
// keys written as something other than a number keep their default; they go to
// notNumbers (key, value as written) when given.
void ReadInstallSection(const std::string& file, InstallParams& p,
                        std::vector<std::pair<std::string, std::string>>* notNumbers = nullptr);

// "<setupdir>" from argument 2: "." or "/..." is the program's folder, trailing
// backslashes dropped; empty without argument 2.
std::string SetupDirFromArgument();

}  // namespace tolvex
