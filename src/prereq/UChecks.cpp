#include "UChecks.h"

#include "UMessages.h"

namespace tolvex {

bool RunAdministratorCheck() {
  ReportNotBuilt("The administrator check");
  return false;
}

bool RunDisplayCheck() {
  ReportNotBuilt("The display check");
  return false;
}

bool RunFullSystemCheck() {
  ReportNotBuilt("The system check");
  return false;
}

}  // namespace tolvex
