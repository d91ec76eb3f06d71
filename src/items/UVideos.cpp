#include "UVideos.h"

#include "UMessages.h"

namespace tolvex {

void CopyHelpVideos() { LogStageNotBuilt("Copying the help videos"); }

}  // namespace tolvex
