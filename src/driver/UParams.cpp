#include "UParams.h"

#include "UInstallLog.h"
#include "ULog.h"
#include "UMessages.h"

namespace tolvex {

bool GetAllParameters() {
  LogLine(">Start GetAllParameters()");
  ReportNotBuilt("Reading the install script");
  return false;
}

}  // namespace tolvex
