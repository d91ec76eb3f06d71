// The help videos: copied from the medium when the user wants them on the PC.
#pragma once

namespace tolvex {

// Never stops the install.
void CopyHelpVideos();

}  // namespace tolvex
