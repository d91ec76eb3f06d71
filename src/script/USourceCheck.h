// The installers the script names, expanded and checked before an install starts.
#pragma once

namespace tolvex {

// Expands and checks every installer path of the parameters; result is the outcome so
// far, and the one returned is the outcome after the last check.
bool ValidateInstallSources(bool result);

}  // namespace tolvex
