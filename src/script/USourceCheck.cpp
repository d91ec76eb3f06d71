#include "USourceCheck.h"

#include "ULog.h"

namespace tolvex {

bool ValidateInstallSources(bool result) {
  // Until the check exists, say plainly in the log that nothing was checked.
  LogLine("** Install sources not checked: source validation is not available in this version");
  return result;
}

}  // namespace tolvex
