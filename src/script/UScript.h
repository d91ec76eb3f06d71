// The install script's list sections, held for the whole run, and the reader that
// loads them.
#pragma once

#include <string>
#include <vector>

#include "UScriptText.h"

namespace tolvex {

using ScriptSectionList = std::vector<std::string>;

struct ScriptLists {
  bool exist = false;
  ScriptSectionList files, shortcuts, run, customDirs, list1, list2, list3, list4;
};
ScriptLists& Lists();
void CreateScriptLists();
void FreeScriptLists();

// The script file the run reads: set once it was found, read until exit.
struct ScriptFileState {
  std::string path;
};
ScriptFileState& ScriptFile();
void ResetScriptFile();

// The whole file as lines in the ANSI code page (a UTF-8 or UTF-16 file with its
// byte-order mark converted). False, logged, when it exists but cannot be read; false
// and silent when it does not exist. encoding, when given, gets what the file's mark says.
bool ReadScriptFileLines(const std::string& file, std::vector<std::string>& lines,
                         ScriptEncoding* encoding = nullptr);
// Clears list, then appends the section's lines in file order (comments left out).
// True when a header of that section was found.
bool ReadSectionLines(const std::string& file, const std::string& section, ScriptSectionList& list);
// The section's item values with their identifiers resolved; lines that name a skipped
// custom directory are dropped, unknown identifiers reported.
void LoadScriptSection(const std::string& section, ScriptSectionList& list);

// Loads the list sections once the parameters are known; false stops the install.
bool InitScript();

}  // namespace tolvex
