// The installers the script names, expanded and checked before an install starts, so
// that later stages see a full path or an empty one.
#pragma once

#include <string>
#include <vector>

#include "UInstallParams.h"

namespace tolvex {

// Resolves path in place; with goOn, a missing file is reported and goOn becomes false,
// an existing one is made absolute. An empty path is left alone.
bool ExpandValidateSrcPath(bool goOn, std::string& path);
// The same for a path that may hold "%s" for a language folder: every language's file
// is looked for, the missing ones are listed in one question, and the path becomes the
// file for this PC's language, else English, else empty. flag is 1 (help engine) or 2
// (browser): which languages the package is made for.
bool ExpandValidateLangSrcPath(bool goOn, std::string& path, int flag);
// A relative installer path below the program's folder.
std::string MakeSourcePathAbsolute(const std::string& path);
// Where a relative installer path points below programDir, the current folder left alone.
std::string SourcePathBelow(const std::string& path, const std::string& programDir);

// The installer paths of [INSTALL] in the order they are checked. languageFlag is 1 or 2
// for a path that may hold "%s" for a language folder (which LanguageTable flag), 0 else.
struct InstallerPathKey {
  const char* key;
  std::string InstallParams::*value;
  int languageFlag;
};
const std::vector<InstallerPathKey>& InstallerPathKeys();

// Every installer path of the parameters in turn, the result of each check passed to
// the next; once it is false the later paths are still expanded but not checked.
bool ValidateInstallSources(bool result);

}  // namespace tolvex
