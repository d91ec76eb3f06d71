#include "FOptional.h"

#include "UMessages.h"

namespace tolvex {

bool InstallOptionalItems(const ScriptSectionList& lines) {
  return lines.empty() || LogStageNotBuilt("Offering the optional components");
}

}  // namespace tolvex
