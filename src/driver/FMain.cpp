#include "FMain.h"

#include "UMessages.h"

namespace tolvex {

void RunMainWindow(RunMode mode) {
  ReportNotBuilt(mode == kRunUninstall ? "Uninstalling" : "Installing");
}

}  // namespace tolvex
