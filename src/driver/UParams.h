// Reading the script's [INSTALL] section into the run's parameters.
#pragma once

namespace tolvex {

// True when the run may go on; the reasons for false have been shown and logged.
bool GetAllParameters();

}  // namespace tolvex
