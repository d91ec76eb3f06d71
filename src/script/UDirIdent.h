// Directory identifiers: the fixed ones computed with the parameters, the named folders
// of the system, and the custom directories the script declares in [CUSTOMDIRS].
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "UIdentText.h"

namespace tolvex {

struct DirIdentState {
  std::vector<CustomDirRec> customDirs;  // one per [CUSTOMDIRS] line, in file order
  // Named folders asked of the system once and kept for the run.
  std::string windir, winsysdir, tempdir, driversdir;
};
DirIdentState& DirIdents();
void ResetDirIdents();

// "<winsysdir>" ... "<flashcfgdir>" with their values, in the order they are replaced.
std::vector<std::pair<std::string, std::string>> FixedIdentifiers();
ResolvedText ResolveIdentifiers(const std::string& text);
// For single paths: resolves, and reports a skipped or unknown identifier itself.
std::string ResolveScriptText(const std::string& text);
// The folder a named identifier stands for (text between the brackets); empty for none.
std::string ResolveNamedFolder(const std::string& name);
// The shell's special folder by number, without trailing backslash; empty when none.
std::string SpecialFolderPath(int csidl);
// Finds every custom directory of the CUSTOMDIRS list; false when the install is to stop.
bool ResolveCustomDirs();

}  // namespace tolvex
