#include "UCopyFiles.h"

#include "UMessages.h"
#include "UScript.h"

namespace tolvex {

CopySettings SettingsOf(const FileItem& item) {
  CopySettings s;
  s.mode = item.copyMode;
  s.reg = item.reg;
  s.addToUninstall = item.addToUninstall;
  s.updateOnly = item.updateOnly;
  return s;
}

bool CopyFilesSection() {
  if (Lists().files.empty()) return true;
  ReportNotBuilt("Copying the [FILES] section");
  return false;
}

bool CopyFileItem(const std::string&, const std::string&, const CopySettings&) { return false; }
bool CopyMatchingFiles(const std::string&, const std::string&, const CopySettings&) { return false; }
bool CopyOneFile(const std::string&, const std::string&, const CopySettings&) { return false; }
bool FileCrc32(const std::string&, uint32_t&) { return false; }
bool RegisterServerDll(const std::string&) { return false; }

}  // namespace tolvex
