#include "USecondDisk.h"

#include "UMessages.h"

namespace tolvex {

void RunSecondDisk(const std::string& installer, const std::vector<std::string>& arguments) {
  ReportNotBuilt("Starting the second disk's setup (" + installer + ")");
}

}  // namespace tolvex
