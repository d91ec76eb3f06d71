// The main window: the install or uninstall run with its progress window.
#pragma once

#include "UStartup.h"

namespace tolvex {

void RunMainWindow(RunMode mode);

}  // namespace tolvex
