#include "UShortcuts.h"

#include "UMessages.h"
#include "UScript.h"

namespace tolvex {

bool MakeShortcuts() { return Lists().shortcuts.empty() || LogStageNotBuilt("Making shortcuts"); }

bool RunItems() { return Lists().run.empty() || LogStageNotBuilt("Running the [RUN] items"); }

}  // namespace tolvex
