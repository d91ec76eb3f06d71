// Start-menu and desktop shortcuts, and the programs [RUN] starts after the copy.
#pragma once

namespace tolvex {

// Each false when the install is to stop.
bool MakeShortcuts();
bool RunItems();

}  // namespace tolvex
