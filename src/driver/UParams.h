// Reading the script's [INSTALL] section into the run's parameters.
#pragma once

#include <string>

namespace tolvex {

// True when the run may go on; the reasons for false have been shown and logged.
bool GetAllParameters();

// The script beside the program: its path with the extension replaced by ".ini".
std::string ScriptFileName();

}  // namespace tolvex
