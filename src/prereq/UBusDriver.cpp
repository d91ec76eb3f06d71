#include "UBusDriver.h"

#include "UMessages.h"

namespace tolvex {

void InstallBusDriver() { LogStageNotBuilt("Installing the instrument bus driver"); }

}  // namespace tolvex
