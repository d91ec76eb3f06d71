// What an install copied, recorded for the uninstaller; the Add/Remove Programs entry;
// and the removal that entry starts.
#pragma once

#include <string>
#include <vector>

namespace tolvex {

struct UninstallState {
  bool exists = false;             // created by the first AddFile
  std::vector<std::string> files;  // every recorded path, in recording order
};
UninstallState& UninstallList();
void ResetUninstall();

// Records a file the uninstaller is to remove.
void AddFile(const std::string& path);
// The Add/Remove Programs key for folder: "\SOFTWARE\...\Uninstall\" + prefix + n.
std::string GetUninstIDKey(const std::string& prefix, const std::string& folder, const std::string& product);
// Writes the list file, the uninstaller copy and the entry; false when any of it failed.
bool CompleteUninstSetup(const std::string& displayName, const std::string& folder);
// Removes what the folder's list files name; false when the user declined or stopped it.
bool RunUninstall(const std::string& folder);

}  // namespace tolvex
