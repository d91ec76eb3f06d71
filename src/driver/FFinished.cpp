#include "FFinished.h"

#include "UMessages.h"

namespace tolvex {

void ShowFinishDialog() { LogStageNotBuilt("The finish dialog"); }

}  // namespace tolvex
