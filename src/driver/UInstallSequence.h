// The install's stages in their order, from the files to the finish dialog.
#pragma once

namespace tolvex {

// Runs the stages; false when one that decides failed or was declined, and the stages
// after it were not run. The uninstall record is completed whatever happened.
bool RunInstallSequence();

}  // namespace tolvex
